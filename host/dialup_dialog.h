// dialup_dialog.h — the dial-up dialog (template 147, "ダイヤルアップ設定"): label
// "ダイヤルアップ接続先", list 1031 of the phone-book entries (platform::PhoneBook, names
// with a backquote left out), check box 1030 "既存の接続をチェックしない", OK 1,
// "キャンセル" 2.  Without any entry (no NetworkManager) the list is simply empty and OK
// stores an empty name.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "host/dialog_buttons.h"

class QListWidget;

namespace yk {

struct DialupFields {
  std::u16string dialName;  // the connection to open before downloading
  int dialCheck = 0;        // 1 = do not look for an existing connection first
};

class DialupDialog : public QDialog {
  Q_OBJECT

 public:
  enum ControlId : int {
    kOkButton = kOkButtonId,
    kCancelButton = kCancelButtonId,
    kSkipCheckBox = 1030,
    kEntryList = 1031,
  };

  explicit DialupDialog(const DialupFields& fields, QWidget* parent = nullptr);

  // The values as accepted (unchanged until OK).
  const DialupFields& fields() const { return fields_; }

  void accept() override;

 private:
  DialupFields fields_;
  QListWidget* list_ = nullptr;
};

}  // namespace yk
