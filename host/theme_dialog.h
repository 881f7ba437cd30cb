// theme_dialog.h — the theme dialog (template 143, "テーマの選択"): lists the theme files
// of the program's theme folder (list 1000) and gives back the one chosen.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

namespace yk {

class ThemeDialog : public QDialog {
  Q_OBJECT

 public:
  enum ControlId : int { kThemeList = 1000 };

  // `names`: file names without folder, in the order to show (at most 50).
  explicit ThemeDialog(std::vector<std::u16string> names, QWidget* parent = nullptr);

  // After OK: the chosen file name, empty when nothing was selected.
  std::u16string chosen() const;

  void accept() override;

 private:
  std::vector<std::u16string> names_;
  int selected_ = -1;
};

}  // namespace yk
