#include "host/about_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace yk {

AboutDialog::AboutDialog(const QPixmap& icon, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("100"));
  setWindowTitle(QStringLiteral("バージョン情報"));
  auto* picture = new QLabel;
  picture->setPixmap(icon);
  auto* texts = new QVBoxLayout;
  texts->addWidget(new QLabel(QStringLiteral("Yomitoki")));
  texts->addWidget(new QLabel(QString::fromLatin1(kVersionText)));
  auto* row = new QHBoxLayout;
  row->addWidget(picture);
  row->addLayout(texts);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &AboutDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(buttons);
}

}  // namespace yk
