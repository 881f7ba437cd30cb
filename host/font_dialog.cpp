#include "host/font_dialog.h"

#include <QFontDatabase>
#include <QListWidget>
#include <QVBoxLayout>

#include "host/font_list.h"
#include "platform/qt_data_exchange.h"
#include "platform/text_draw.h"

namespace yk {

FontDialog::FontDialog(const std::u16string& faceName, std::vector<std::u16string> families,
                       QWidget* parent)
    : QDialog(parent), faceName_(faceName) {
  setObjectName(QStringLiteral("146"));
  setWindowTitle(QStringLiteral("フォント"));

  list_ = platform::WithId(new QListWidget(this), kFontList);
  list_->setSortingEnabled(false);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addLayout(OkCancelRow(this));
  connect(list_, &QListWidget::itemDoubleClicked, this, &FontDialog::accept);

  if (families.empty()) {
    for (const QString& family : QFontDatabase::families())
      families.push_back(family.toStdU16String());
  }
  for (const std::u16string& family : families) list_->addItem(QString::fromStdU16String(family));
  list_->setCurrentRow(
      InitialFontLine(families, faceName_, platform::ResolvedFontFamily(faceName_)));
  if (QListWidgetItem* current = list_->currentItem()) list_->scrollToItem(current);
  list_->setFocus();
}

void FontDialog::accept() {
  QListWidgetItem* current = list_->currentItem();
  if (current != nullptr && current->isSelected()) faceName_ = current->text().toStdU16String();
  QDialog::accept();
}

}  // namespace yk
