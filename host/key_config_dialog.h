// key_config_dialog.h — the key assignment dialog (template 144, "キー設定") over a Key
// table: the host's six actions or a plugin's own table (KeyConfigModel has the rules).
//
// Controls by id: list 1000 (one line per action), edit 1001 (the selected action's key
// code, 0..255; 0 = no key), "自動取得" 1023 (runs the key capture dialog), "解除" 1042,
// "？" 1004, OK 1, "キャンセル" 2.  The dialog edits a copy; OK writes the key codes into
// the table given to the constructor, which must outlive the dialog.
#pragma once

#include <QDialog>

#include "host/dialog_buttons.h"
#include "host/key_config_model.h"

class QLineEdit;
class QListWidget;

namespace yk {

class KeyConfigDialog : public QDialog {
  Q_OBJECT

 public:
  enum ControlId : int {
    kOkButton = kOkButtonId,
    kCancelButton = kCancelButtonId,
    kKeyList = 1000,
    kKeyEdit = 1001,
    kHelpButton = 1004,
    kCaptureButton = 1023,
    kClearButton = 1042,
  };

  explicit KeyConfigDialog(KeyTable& table, QWidget* parent = nullptr);

  const KeyConfigModel& model() const { return model_; }

  void accept() override;

 private:
  void RebuildList();
  void ShowSelectedKey();
  void SelectionChanged(int row);
  // The edit's code becomes the selected entry's key; false (after the standard message)
  // when the edit holds no code between 0 and 255.
  bool TakeTypedKey();
  void KeyTyped();
  void CaptureKey();
  void ClearKey();

  KeyTable& table_;
  KeyConfigModel model_;
  QListWidget* list_ = nullptr;
  QLineEdit* edit_ = nullptr;
};

}  // namespace yk
