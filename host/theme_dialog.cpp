#include "host/theme_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt_data_exchange.h"

namespace yk {

ThemeDialog::ThemeDialog(std::vector<std::u16string> names, QWidget* parent)
    : QDialog(parent), names_(std::move(names)) {
  setObjectName(QStringLiteral("143"));
  setWindowTitle(QStringLiteral("テーマの選択"));
  auto* list = platform::WithId(new QListWidget, kThemeList);
  for (const std::u16string& name : names_) list->addItem(QString::fromStdU16String(name));
  if (!names_.empty()) list->setCurrentRow(0);
  connect(list, &QListWidget::itemDoubleClicked, this, &ThemeDialog::accept);

  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
  buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &ThemeDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &ThemeDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("テーマを選択して下さい")));
  layout->addWidget(list);
  layout->addWidget(buttons);
  list->setFocus();
}

std::u16string ThemeDialog::chosen() const {
  if (selected_ < 0 || size_t(selected_) >= names_.size()) return {};
  return names_[size_t(selected_)];
}

void ThemeDialog::accept() {
  platform::DataExchange dx(this, platform::DataExchange::kSave);
  dx.ListRow(kThemeList, selected_);
  if (dx.ok()) QDialog::accept();
}

}  // namespace yk
