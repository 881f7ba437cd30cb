#include "host/dialog_buttons.h"

#include "platform/qt_data_exchange.h"

namespace yk {

QHBoxLayout* OkCancelRow(QDialog* dialog, std::initializer_list<QPushButton*> leftButtons) {
  auto* row = new QHBoxLayout;
  for (QPushButton* button : leftButtons) {
    button->setAutoDefault(false);
    row->addWidget(button);
  }
  row->addStretch();
  auto* ok = platform::WithId(new QPushButton(QStringLiteral("OK"), dialog), kOkButtonId);
  auto* cancel =
      platform::WithId(new QPushButton(QStringLiteral("キャンセル"), dialog), kCancelButtonId);
  ok->setDefault(true);
  cancel->setAutoDefault(false);
  row->addWidget(ok);
  row->addWidget(cancel);
  QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  return row;
}

}  // namespace yk
