// qt_message_box.h — shows platform::MessageBox calls as real QMessageBox dialogs with the
// handheld's buttons ("OK", "キャンセル", "はい", "いいえ") and icons.
#pragma once

class QWidget;

namespace platform {

// Installs the Qt handler; boxes are modal to `parent` (may be null).  Needs a QApplication.
void InstallQtMessageBoxes(QWidget* parent);

}  // namespace platform
