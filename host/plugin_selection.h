// plugin_selection.h — choosing what a window shows: the selection dialog, the next plugin
// and the quick menu.
//
// SelectPlugin(p, mode) first unloads the window's plugin (so the dialog and the next-plugin
// rule see it as free), then:
//   mode 1   loads NextPlugin(previous);
//   mode 0   runs the selection dialog: OK with a candidate loads it, OK on an empty list
//            leaves the window empty, a cancel loads the previous plugin again (a fresh
//            instance: plg_destroy, then a new plg_init);
//   mode -1  does what the plugin-button setting ("plugtype") says: 0 dialog, 1 next.
//
// The quick menu opens a plugin by file name: a window that already shows a plugin of that
// display name is raised, made active and maximised (or restored, when it was the maximised
// one already) instead of opening it a second time.
//
// No widgets here: the dialog is run through a callback the Qt layer provides.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "common/plugin_interface.h"
#include "host/plugin_catalog.h"

namespace yk {

class PluginHost;
class WindowManager;

// The entries of menu "クイック(&Q)": command id, display name looked for, file in the
// plugin folder.  "メモ(&M)" also has Ctrl+Q.
struct QuickPlugin {
  int command;
  const char16_t* name;
  const char16_t* file;
};
inline constexpr std::array<QuickPlugin, 7> kQuickPlugins = {{
    {32794, u"覚え書き", u"tvk_spdmemo_hpc2karm.plg"},
    {32795, u"検索・置換え屋", u"tvk_search_hpc2karm.plg"},
    {32797, u"カレンダー", u"tvk_cal_hpc2karm.plg"},
    {32798, u"スケジュール", u"tvk_sched_hpc2karm.plg"},
    {32799, u"日記・メモ", u"tvk_memo_hpc2karm.plg"},
    {32796, u"天気予報", u"tvk_tenki_hpc2karm.plg"},
    {32800, u"アイコン", u"tvk_icon_hpc2karm.plg"},
}};

// The full path of a quick menu entry's file in the plugin folder.
[[nodiscard]] std::u16string QuickPluginPath(const HostContext& host, const QuickPlugin& quick);

// True when the plugin file of the quick menu command is in the plugin folder: the menu
// offers only the entries it can open (false for other ids).
[[nodiscard]] bool QuickPluginInstalled(const HostContext& host, int command);

// The plugin that follows `previous` among the candidates of a fresh scan (plugins shown in
// windows are not candidates): the candidate after the one whose path equals `previous`
// regardless of letter case, wrapping to the first; the first when none matches; `previous`
// itself when there are no candidates.
[[nodiscard]] std::u16string NextPlugin(const HostContext& host, const std::u16string& previous);

// What the selection dialog ended with.
struct PluginChoice {
  bool accepted = false;  // OK (false: cancelled or closed otherwise)
  int index = -1;         // the selected candidate, -1 = none
  std::u16string path;    // its path
};

// Runs the selection dialog over the Host context (it scans when it opens).
using SelectionDialogRunner = std::function<PluginChoice(HostContext& host)>;

class PluginSelection {
 public:
  PluginSelection(HostContext& host, PluginHost& plugins, WindowManager& windows,
                  SelectionDialogRunner runDialog);

  // Chooses the plugin of the window at position p; nothing for an invalid position.
  void SelectPlugin(int p, int mode);

  // Shows the plugin of display name `name`, or opens `path` in a new window.
  void OpenQuickPlugin(std::u16string_view name, std::u16string_view path);

  // A quick menu command id (kQuickPlugins); false for other ids.
  bool RunQuickCommand(int command);

 private:
  HostContext& host_;
  PluginHost& plugins_;
  WindowManager& windows_;
  SelectionDialogRunner runDialog_;
};

}  // namespace yk
