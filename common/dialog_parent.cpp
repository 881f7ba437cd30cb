// dialog_parent.cpp — finding the organizer's main window for a plugin's dialogs.
#include "common/dialog_parent.h"

#include <QApplication>
#include <QVariant>
#include <QWidget>

namespace yk {

QWidget* OrganizerMainWindow(const HostContext* host) {
  if (host != nullptr && host->mainWnd != 0) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      const QVariant handle = window->property(kWindowHandleProperty);
      if (handle.isValid() && handle.toUInt() == host->mainWnd) return window;
    }
  }
  return QApplication::activeWindow();
}

void RaiseAndFocus(QWidget* dialog) {
  dialog->raise();
  dialog->activateWindow();
}

}  // namespace yk
