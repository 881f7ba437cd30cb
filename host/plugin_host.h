// plugin_host.h — the host side of the plugin interface.
//
// PluginHost loads and unloads the plugin of each window, calls the plugin's exports and
// carries out the Request codes the plugins answer with.  It knows windows by position in
// the stacking order (0 = bottom, windowCount - 1 = top); the slot of position p is
// `order[p]` of the Host context.  Every operation that takes a position does nothing for
// a position outside 0 .. windowCount - 1.
//
// Exports are looked up by name at every call, so any export may be missing: a missing
// optional export is skipped silently.  Every call into a plugin is guarded: an exception
// that a plugin lets out is caught at the call and counts as the answer 0 (kRequestNone).
//
// Rendering and composition (requests 1, 2 and 8, the redraw after a load) are the window
// manager's: PluginHost calls the WindowManager attached with AttachWindows.  Without one
// attached, those steps are skipped (tests of the loader alone).
//
// Everything runs on the user-interface thread; nothing is locked.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "common/plugin_interface.h"

namespace yk {

class ViewPort;
class WindowManager;

// Texts shown by the plugin host.
inline constexpr char16_t kPluginLoadFailedText[] = u"プラグインのロードに失敗しました";
inline constexpr char16_t kNoPluginSettingsText[] = u"このプラグインの設定項目はありません";
inline constexpr char16_t kNoPluginKeySettingsText[] = u"このプラグインのキー設定項目はありません";
// The title of a window without a plugin.
inline constexpr char16_t kEmptyWindowName[] = u"Yomitoki";

class PluginHost {
 public:
  // `host` must outlive this object; its address is what plugins keep.
  PluginHost(HostContext& host, ViewPort& view);
  PluginHost(const PluginHost&) = delete;
  PluginHost& operator=(const PluginHost&) = delete;

  // The window manager that renders and composes for the requests.  May be null.
  void AttachWindows(WindowManager* windows) { windows_ = windows; }

  // Runs the key assignment dialog on a plugin's key table (menu "キー設定(&K)").  Until
  // one is set the command calls plg_keyconfig and does nothing with the table.
  using KeyAssignmentRunner = std::function<void(KeyTable& table)>;
  void SetKeyAssignmentRunner(KeyAssignmentRunner runner) { runKeyAssignment_ = std::move(runner); }

  // ---- Loading ---------------------------------------------------------------------------

  // Loads the plugin file `path` into the window at p.  A plugin already loaded there is
  // unloaded first (plg_destroy, library freed).  An empty path returns false quietly.
  // A library that cannot be loaded, lacks plg_valid, plg_info or plg_init, or whose
  // plg_init answers 0, is freed (without plg_destroy), "プラグインのロードに失敗しました"
  // is shown and false returned; the window stays open and empty ("Yomitoki").
  // On success the slot holds the name from plg_info, the path and loaded = 1; with
  // `redraw` the window is cleared, notified (Redraw) and presented.
  [[nodiscard]] bool LoadPlugin(int p, std::u16string_view path, bool redraw);

  // Unloads the plugin of the window at p, if any: stops timer 10 + slot when the slot's
  // timerOn is set, calls plg_destroy, frees the library, empties `path` and sets the
  // name back to "Yomitoki".  With `redraw` the chrome is redrawn and the window presented.
  void UnloadPlugin(int p, bool redraw);

  // True when the window at p has a plugin loaded.
  bool IsLoaded(int p) const;

  // ---- Notifications and requests ----------------------------------------------------------

  // Calls plg_notify(code) of the window at p (loaded plugins only); the answer is applied
  // with ApplyRequest for codes 3, 4 and 6 and ignored for the others.
  void SendNotify(int p, int code);

  // SendNotify to every open window, top first, the sender included.  A broadcast of a
  // code that is already being broadcast (a plugin answering DateChanged with
  // BroadcastDate) is dropped instead of recursing without end.
  void BroadcastNotify(int code);

  // Carries out a Request for the window at p: 1 repaint, 2 repaint rectangle, 4 and 6
  // broadcasts, 8 present rectangle; any other code does nothing.
  void ApplyRequest(int p, int request);

  // The request message 0x401 posted to the view: applies `requestCode` to the position
  // `requestWindow`; code 3 starts timer 10 + p with `timerInterval` ms, or stops it when
  // the interval is 0.
  void HandleRequestMessage();

  // A view timer fired.  Ids below 10 are not plugin timers and are ignored.  For p = id - 10:
  // outside 0..4 the timer is stopped; a tick for a position whose slot is not in use is
  // ignored; a valid position gets notify 3; otherwise the timer is stopped.
  void HandleTimer(int id);

  // ---- Event forwarders (the window manager calls them) --------------------------------
  // Each calls the export of the window at p, if loaded and exported, and applies the
  // answer.  Coordinates are relative to the window's top-left corner.

  void MouseDown(int p, int x, int y);
  void MouseDoubleDown(int p, int x, int y);
  void MouseMove(int p, int x, int y);
  void MouseUp(int p, int x, int y);
  void KeyDown(int p, int key);
  void KeyUp(int p, int key);

  // ---- Plugin menu (for the active window) ----------------------------------------------

  // "設定(&S)": plg_config and its answer; without the export shows
  // "このプラグインの設定項目はありません".  Nothing without an active loaded window.
  void ConfigureActivePlugin();

  // "キー設定(&K)": plg_keyconfig and the key assignment dialog on its table; without the
  // export shows "このプラグインのキー設定項目はありません".
  void ConfigureActivePluginKeys();

 private:
  int SlotIndexAt(int p) const;
  void* Export(int p, const char* name) const;
  void ApplyRectRequest(int p, bool withChrome);

  HostContext& host_;
  ViewPort& view_;
  WindowManager* windows_ = nullptr;
  KeyAssignmentRunner runKeyAssignment_;
  uint32_t broadcasting_ = 0;  // bit per notify code being broadcast
};

}  // namespace yk
