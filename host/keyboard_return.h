// keyboard_return.h — gives the keyboard back when a dialog or message box closes.
//
// A window manager hands the keyboard to the window below a dialog that closes.  Without
// one nobody does, and the organizer would be left without an active window: keys and
// accelerators (Ctrl+N, Alt+F for the menu bar) would reach nothing until the user clicked
// somewhere.  KeyboardReturn watches the application's windows; when one is hidden and no
// window is active a moment later, it activates, in this order, the window of its parent,
// the modal dialog still open below it, or the main window.
#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace yk {

class KeyboardReturn : public QObject {
  Q_OBJECT

 public:
  // Watches every window of the application on behalf of `mainWindow`.
  explicit KeyboardReturn(QWidget* mainWindow);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Return(QPointer<QWidget> parent);

  QPointer<QWidget> mainWindow_;
};

}  // namespace yk
