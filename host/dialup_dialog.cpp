#include "host/dialup_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "host/dialup_list.h"
#include "platform/dial_up.h"
#include "platform/qt_data_exchange.h"

namespace yk {

DialupDialog::DialupDialog(const DialupFields& fields, QWidget* parent)
    : QDialog(parent), fields_(fields) {
  setObjectName(QStringLiteral("147"));
  setWindowTitle(QStringLiteral("ダイヤルアップ設定"));

  list_ = platform::WithId(new QListWidget(this), kEntryList);
  list_->setSortingEnabled(false);
  auto* skipCheck = platform::WithId(
      new QCheckBox(QStringLiteral("既存の接続をチェックしない"), this), kSkipCheckBox);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("ダイヤルアップ接続先"), this));
  layout->addWidget(list_);
  layout->addWidget(skipCheck);
  layout->addLayout(OkCancelRow(this));

  const std::vector<std::u16string> entries = ListedDialupEntries(platform::PhoneBook());
  for (const std::u16string& entry : entries) list_->addItem(QString::fromStdU16String(entry));
  list_->setCurrentRow(InitialDialupLine(entries, fields_.dialName));

  platform::DataExchange dx(this, platform::DataExchange::kLoad);
  dx.Check(kSkipCheckBox, fields_.dialCheck);
  list_->setFocus();
}

void DialupDialog::accept() {
  DialupFields chosen;
  platform::DataExchange dx(this, platform::DataExchange::kSave);
  dx.Check(kSkipCheckBox, chosen.dialCheck);
  QListWidgetItem* current = list_->currentItem();
  chosen.dialName = current != nullptr && current->isSelected() ? current->text().toStdU16String()
                                                                : std::u16string();
  fields_ = chosen;
  QDialog::accept();
}

}  // namespace yk
