#include "host/key_capture_dialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "platform/virtual_keys.h"

namespace yk {

KeyCaptureDialog::KeyCaptureDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("145"));
  setWindowTitle(QStringLiteral("キー設定"));
  setFocusPolicy(Qt::StrongFocus);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("設定するキーを押してください"), this));
}

void KeyCaptureDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  raise();
  activateWindow();
  setFocus();
}

void KeyCaptureDialog::keyPressEvent(QKeyEvent* event) {
  event->accept();
  sawPress_ = true;
}

void KeyCaptureDialog::keyReleaseEvent(QKeyEvent* event) {
  event->accept();
  if (event->isAutoRepeat() || closing_ || !sawPress_) return;
  const int code =
      platform::VirtualKeyFromQtKey(event->key(), event->modifiers().testFlag(Qt::KeypadModifier));
  if (!capture_.KeyReleased(code)) return;
  // Closed from the event loop, after this release has been handled completely.
  closing_ = true;
  QMetaObject::invokeMethod(
      this, [this] { accept(); }, Qt::QueuedConnection);
}

bool KeyCaptureDialog::focusNextPrevChild(bool) {
  return false;
}

void KeyCaptureDialog::done(int result) {
  capture_.Closed();
  QDialog::done(result);
}

}  // namespace yk
