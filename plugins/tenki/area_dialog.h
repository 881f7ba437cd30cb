// area_dialog.h — the area dialog (template 3008, "天気地域の設定"): the area combo (1000),
// the city list (1001), OK and "キャンセル", over AreaChoice.
#pragma once

#include <QDialog>
#include <filesystem>
#include <optional>

#include "plugins/tenki/area_choice.h"
#include "plugins/tenki/tenki_view.h"

class QComboBox;
class QListWidget;

namespace yk::tenki {

class AreaDialog : public QDialog {
  Q_OBJECT

 public:
  enum ControlId : int { kAreaCombo = 1000, kCityList = 1001, kOk = 1, kCancel = 2 };

  // Reads the list ("設定ファイルが見つかりません" when it can't) and selects `area`, `city`.
  AreaDialog(const std::filesystem::path& listFile, int area, int city, QWidget* parent = nullptr);

  // The choice as OK left it.
  AreaSelection selection() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FillCities();

  AreaChoice choice_;
  QComboBox* areas_;
  QListWidget* cities_;
};

// Runs the dialog modally over `parent` (the organizer's main window): the choice after OK,
// std::nullopt after cancel.
std::optional<AreaSelection> RunAreaDialog(const std::filesystem::path& listFile, int area,
                                           int city, QWidget* parent);

}  // namespace yk::tenki
