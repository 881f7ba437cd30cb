// about_dialog.h — "バージョン情報" (dialog 100): the program's icon, its name and version.
#pragma once

#include <QDialog>
#include <QPixmap>

namespace yk {

inline constexpr char kVersionText[] = "Version 1.02";

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(const QPixmap& icon, QWidget* parent = nullptr);
};

}  // namespace yk
