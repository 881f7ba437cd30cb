// window_settings.h — the settings of section "setting" that drive the window manager.
//
// HostSession reads them at creation and writes them at shutdown; the settings dialog
// changes them while the host runs (HostSession::ApplyWindowSettings).  The manager only
// reads them.
#pragma once

#include <array>

#include "common/plugin_interface.h"

namespace yk {

// The host's section of the application's profile: its settings and the window layout.
inline constexpr char16_t kSettingSection[] = u"setting";

// The six host key actions.  A key code of 0 means "no key".  The order is the order of
// the host's key table in the key assignment dialog.
enum HostKeyAction : int {
  kKeyNextWindow = 0,      // "keynextwin"
  kKeyPreviousWindow = 1,  // "keyprevwin"
  kKeyToday = 2,           // "keytoday"
  kKeyPluginSelect = 3,    // "keyplugsel"
  kKeyDataRefresh = 4,     // "keyreflesh"
  kKeyPluginNext = 5,      // "keyplugselnext"
  kHostKeyCount = 6
};

// Registry value names of the host keys, indexed by HostKeyAction.
inline constexpr std::array<const char16_t*, kHostKeyCount> kHostKeyValueNames = {
    u"keynextwin", u"keyprevwin", u"keytoday", u"keyplugsel", u"keyreflesh", u"keyplugselnext"};

// Labels of the host's key table, indexed by HostKeyAction.
inline constexpr std::array<const char16_t*, kHostKeyCount> kHostKeyLabels = {
    u"次のウィンドウ", u"前のウィンドウ", u"今日へ移動",
    u"プラグイン選択", u"データ更新",     u"次のプラグイン選択"};

inline constexpr int kDefaultGridStep = 5;
inline constexpr int kMinGridStep = 1;
inline constexpr int kMaxGridStep = 20;

// What the plugin button (and SelectPlugin with mode -1) does.
enum PluginButtonAction : int { kPluginButtonDialog = 0, kPluginButtonNext = 1 };

struct WindowSettings {
  bool focusMode = true;                         // "focuswin": a tapped window comes to the top
  bool translucent = false;                      // "transwin": windows are composed translucent
  int gridStep = kDefaultGridStep;               // "wingrid": 1..20
  int pluginButtonAction = kPluginButtonDialog;  // "plugtype"
  std::array<int, kHostKeyCount> keys{};         // virtual-key codes, 0 = none

  // True when `key` is one of the six host keys (0 never is).
  bool IsHostKey(int key) const;
};

// A stored grid step outside 1..20 (0, 21, garbage) is taken as 5.
int GridStepFromStored(int stored);

// The host's own key table for the key assignment dialog: the six actions in the order of
// HostKeyAction, with their labels and current keys, group 0, count 6.  The labels are
// shared strings allocated here; ReleaseHostKeyTable frees them.
void FillHostKeyTable(const WindowSettings& settings, KeyTable& table);
// Takes the six key values of a table filled by FillHostKeyTable back into the settings.
void TakeHostKeys(const KeyTable& table, WindowSettings& settings);
void ReleaseHostKeyTable(KeyTable& table);

}  // namespace yk
