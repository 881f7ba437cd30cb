// font_dialog.h — the font dialog (template 146, "フォント"): list 1029 of the screen's font
// families (unsorted, as the font database names them), OK 1, "キャンセル" 2.  Opens on the
// current face (InitialFontLine); after OK faceName() is the selected family.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "host/dialog_buttons.h"

class QListWidget;

namespace yk {

class FontDialog : public QDialog {
  Q_OBJECT

 public:
  enum ControlId : int {
    kOkButton = kOkButtonId,
    kCancelButton = kCancelButtonId,
    kFontList = 1029
  };

  // `families` empty: the families of Qt's font database.
  explicit FontDialog(const std::u16string& faceName, std::vector<std::u16string> families = {},
                      QWidget* parent = nullptr);

  const std::u16string& faceName() const { return faceName_; }

  void accept() override;

 private:
  std::u16string faceName_;
  QListWidget* list_ = nullptr;
};

}  // namespace yk
