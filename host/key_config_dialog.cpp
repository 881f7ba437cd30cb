#include "host/key_config_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "host/dialog_buttons.h"
#include "host/key_capture_dialog.h"
#include "platform/message_box.h"
#include "platform/qt_data_exchange.h"

namespace yk {
namespace {

// Key codes are bytes: the device's virtual-key codes run from 1 to 254.
constexpr int kMaxKeyCode = 255;

}  // namespace

KeyConfigDialog::KeyConfigDialog(KeyTable& table, QWidget* parent)
    : QDialog(parent), table_(table), model_(table) {
  setObjectName(QStringLiteral("144"));
  setWindowTitle(QStringLiteral("キー設定"));

  list_ = platform::WithId(new QListWidget(this), kKeyList);
  list_->setSortingEnabled(false);
  edit_ = platform::WithId(new QLineEdit(this), kKeyEdit);
  edit_->setMaximumWidth(80);
  auto* capture =
      platform::WithId(new QPushButton(QStringLiteral("自動取得"), this), kCaptureButton);
  auto* clear = platform::WithId(new QPushButton(QStringLiteral("解除"), this), kClearButton);
  auto* help = platform::WithId(new QPushButton(QStringLiteral("？"), this), kHelpButton);
  for (QPushButton* button : {capture, clear}) button->setAutoDefault(false);

  auto* keyRow = new QHBoxLayout;
  keyRow->addWidget(new QLabel(QStringLiteral("キーコード"), this));
  keyRow->addWidget(edit_);
  keyRow->addWidget(capture);
  keyRow->addWidget(clear);
  keyRow->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("ショートカットキーを設定します"), this));
  layout->addWidget(list_);
  layout->addLayout(keyRow);
  layout->addLayout(OkCancelRow(this, {help}));

  connect(list_, &QListWidget::currentRowChanged, this, &KeyConfigDialog::SelectionChanged);
  connect(edit_, &QLineEdit::textEdited, this, [this] { KeyTyped(); });
  connect(capture, &QPushButton::clicked, this, &KeyConfigDialog::CaptureKey);
  connect(clear, &QPushButton::clicked, this, &KeyConfigDialog::ClearKey);
  connect(help, &QPushButton::clicked, this, [] {
    platform::MessageBox(kKeyConfigHelpText, platform::kDefaultCaption,
                         platform::kMbOk | platform::kMbIconInformation);
  });

  RebuildList();
  ShowSelectedKey();
  list_->setFocus();
}

void KeyConfigDialog::RebuildList() {
  const QSignalBlocker blocker(list_);
  list_->clear();
  for (const std::u16string& line : model_.Lines()) list_->addItem(QString::fromStdU16String(line));
  list_->setCurrentRow(model_.selected());
  model_.ListRebuilt();
}

void KeyConfigDialog::ShowSelectedKey() {
  edit_->setText(QString::number(model_.SelectedKey()));
}

void KeyConfigDialog::SelectionChanged(int row) {
  model_.Select(row);
  if (model_.listNeedsRefresh()) RebuildList();
  ShowSelectedKey();
}

bool KeyConfigDialog::TakeTypedKey() {
  if (model_.selected() < 0) return true;
  // An emptied edit means "no key" until a digit is typed again.
  int key = 0;
  if (!edit_->text().trimmed().isEmpty()) {
    platform::DataExchange dx(this, platform::DataExchange::kSave);
    if (!dx.Int(kKeyEdit, key, 0, kMaxKeyCode).ok()) return false;
  }
  model_.TypeKey(key);
  return true;
}

void KeyConfigDialog::KeyTyped() {
  if (!TakeTypedKey()) return;
  // The line follows at once; the whole list is rebuilt when the selection moves.
  if (QListWidgetItem* item = list_->item(model_.selected()))
    item->setText(QString::fromStdU16String(model_.LineText(model_.selected())));
}

void KeyConfigDialog::CaptureKey() {
  if (model_.selected() < 0) return;
  int code = kNothingCaptured;
  {
    KeyCaptureDialog capture(this);
    capture.exec();
    code = capture.capturedKey();
  }
  if (!model_.AssignCaptured(code)) return;
  RebuildList();
  ShowSelectedKey();
}

void KeyConfigDialog::ClearKey() {
  if (model_.selected() < 0) return;
  model_.ClearSelectedKey();
  RebuildList();
  ShowSelectedKey();
}

void KeyConfigDialog::accept() {
  // OK reads the edit as typing does: a code it refuses keeps the dialog open.
  if (!TakeTypedKey()) return;
  model_.WriteBack(table_);
  QDialog::accept();
}

}  // namespace yk
