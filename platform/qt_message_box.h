// qt_message_box.h — shows platform::MessageBox calls as real QMessageBox dialogs with the
// handheld's buttons ("OK", "キャンセル", "はい", "いいえ") and icons.
//
// A box belongs to the window the user is looking at: the modal dialog that is open (the
// box comes from inside it), otherwise the owner — the program's main window, once it
// exists.  It opens above that window and gets the keyboard.  A box without a parent could
// open behind the main window or the dialog while its modality blocks both, and without a
// window manager nothing else would stack it.
#pragma once

#include "platform/message_box.h"

class QWidget;

namespace platform {

// Installs the Qt handler; returns the previous one so it can be put back.  Needs a
// QApplication.
MessageBoxHandler InstallQtMessageBoxes();

// The window boxes belong to when no modal dialog is open (null: none, as for a program
// without a main window).  Forgotten when that window goes.
void SetMessageBoxOwner(QWidget* owner);

// The parent a box shown now gets: the active modal dialog, else the owner while it is on
// screen, else none.
[[nodiscard]] QWidget* MessageBoxParent();

}  // namespace platform
