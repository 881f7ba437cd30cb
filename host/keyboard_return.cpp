// keyboard_return.cpp — the keyboard back to the window below a closed dialog.
#include "host/keyboard_return.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace yk {

KeyboardReturn::KeyboardReturn(QWidget* mainWindow) : QObject(mainWindow), mainWindow_(mainWindow) {
  qApp->installEventFilter(this);
}

bool KeyboardReturn::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Hide && watched->isWidgetType()) {
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->isWindow() && widget != mainWindow_) {
      QPointer<QWidget> parent = widget->parentWidget();
      // After the window system has had its say: a window manager may activate one itself.
      QTimer::singleShot(0, this, [this, parent] { Return(parent); });
    }
  }
  return QObject::eventFilter(watched, event);
}

void KeyboardReturn::Return(QPointer<QWidget> parent) {
  if (QWidget* active = QApplication::activeWindow(); active != nullptr && active->isVisible())
    return;
  QWidget* target = parent != nullptr ? parent->window() : nullptr;
  if (target == nullptr || !target->isVisible()) target = QApplication::activeModalWidget();
  if (target == nullptr) target = mainWindow_;
  if (target != nullptr && target->isVisible()) target->activateWindow();
}

}  // namespace yk
