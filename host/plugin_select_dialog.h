// plugin_select_dialog.h — "プラグインの選択" (template 133): the plugins a window can show.
//
// Controls by id: list box 1000 (one line per candidate's display name, in scan order),
// button 1004 "？" (why a plugin may be missing), OK, "キャンセル".  Opening scans the plugin
// folder; the first candidate, if any, is selected.  OK ends with the selected index (-1 on
// an empty list); "キャンセル" ends without a choice.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "common/plugin_interface.h"
#include "host/plugin_catalog.h"

class QListWidget;

namespace yk {

inline constexpr char16_t kPluginSelectHelpText[] =
    u"ここのリストにアイテムが表示されない場合は、すでに別ウィンドウで表示しているか、"
    u"ＯＳの制約でこれ以上プラグインをロード出来ない時とかです。";

class PluginSelectDialog : public QDialog {
  Q_OBJECT

 public:
  enum ControlId : int { kPluginList = 1000, kHelpButton = 1004 };

  explicit PluginSelectDialog(HostContext* host, QWidget* parent = nullptr);

  const std::vector<PluginCandidate>& candidates() const { return candidates_; }
  int selectedIndex() const { return selectedIndex_; }
  const std::u16string& selectedPath() const { return selectedPath_; }

 private:
  void SelectionChanged(int row);

  HostContext* host_;
  std::vector<PluginCandidate> candidates_;
  int selectedIndex_ = -1;
  std::u16string selectedPath_;
  QListWidget* list_;
};

}  // namespace yk
