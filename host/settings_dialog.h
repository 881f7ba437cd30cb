// settings_dialog.h — the window settings dialog (template 135, "設定"): focus mode,
// translucent windows, the grid step (1..20), what the plugin button does and the display
// scale.
//
// Controls by id: check box 1003 (focus mode), check box 1005 (translucent), edit 1001 with
// its up-down control 1006 (grid step), radio buttons 1041 / 1042 (plugin button: open the
// selection dialog / switch to the next plugin), list 1007 (表示倍率: 自動, 1×, 2×, 3×).  A grid
// step outside 1..20 or not a number is refused with the standard range message when OK is pressed,
// and the dialog stays open.
#pragma once

#include <QDialog>

namespace yk {

struct WindowSettingsFields {
  int focusMode = 1;     // 0/1
  int translucent = 0;   // 0/1
  int gridStep = 5;      // 1..20
  int pluginButton = 0;  // 0 dialog, 1 next plugin
  int scale = 0;         // 0 automatic, 1..3
};

class SettingsDialog : public QDialog {
  Q_OBJECT

 public:
  enum ControlId : int {
    kGridEdit = 1001,
    kFocusCheck = 1003,
    kTranslucentCheck = 1005,
    kGridUpDown = 1006,
    kScaleList = 1007,
    kPluginDialogRadio = 1041,
    kPluginNextRadio = 1042,
  };

  explicit SettingsDialog(const WindowSettingsFields& fields, QWidget* parent = nullptr);

  // The values as accepted (unchanged until OK succeeded).
  const WindowSettingsFields& fields() const { return fields_; }

  // OK: takes the values from the controls; stays open when one is refused.
  void accept() override;

 private:
  bool Exchange(bool save);

  WindowSettingsFields fields_;
};

}  // namespace yk
