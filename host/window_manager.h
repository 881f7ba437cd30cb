// window_manager.h — the floating windows of the host view.
//
// Up to five windows live in the Host context's slots; the host draws their chrome (title
// strip, buttons, borders, resize grip, cut from the parts sheet) into each window's own
// buffer, the plugin draws the content, and the Composer puts them on the screen.  The
// manager opens, closes, maximises and restacks windows, moves and resizes them on the
// grid, routes stylus input (title strip buttons vs. the plugin's content) and keys (the six
// host keys vs. the active plugin), and saves and restores the layout.
//
// Windows are addressed by position in the stacking order (0 = bottom); every operation
// ignores a position outside 0 .. windowCount - 1.
//
// The manager reads `settings()` (focus mode, translucency, grid step, host keys); the
// session owns the values and hands every change in through SetSettings() (the settings
// dialog).  Actions the manager does not own — the plugin choice of a window and the data
// refresh — are callbacks the session and the view set; unset ones do nothing.
//
// Geometry: a window's rectangle is (left, top)-(right, bottom) with right = left + width;
// the title strip is the top 20 rows; the content starts 21 rows down.
#pragma once

#include <array>
#include <functional>
#include <optional>

#include "common/plugin_interface.h"
#include "host/composer.h"
#include "host/window_settings.h"

namespace yk {

class PluginHost;
class ViewPort;

// Window command ids of the host menu.
enum WindowCommand : int {
  kCommandCloseWindow = 32772,
  kCommandNewWindow = 32773,
  kCommandMaximize = 32774,
  kCommandUpOne = 32775,
  kCommandDownOne = 32776,
  kCommandToTop = 32777,
  kCommandToBottom = 32778,
  kCommandToday = 32783,
};

inline constexpr int kTitleHeight = 20;
inline constexpr int kBorderWidth = 2;
inline constexpr int kTitleButtonWidth = 20;
inline constexpr int kGripSize = 10;
inline constexpr int kMinWindowWidth = 90;
inline constexpr int kMinWindowHeight = 50;
inline constexpr int kNewWindowWidth = 240;
inline constexpr int kNewWindowHeight = 100;
inline constexpr int kTitleFontHeight = 12;

// "一度に開く事の出来るウィンドウは%d個までです" with the limit filled in.
inline constexpr char16_t kWindowLimitText[] = u"一度に開く事の出来るウィンドウは5個までです";

class WindowManager {
 public:
  // Attaches itself to `plugins` (requests that render go through this manager).
  WindowManager(HostContext& host, ViewPort& view, PluginHost& plugins);
  ~WindowManager();
  WindowManager(const WindowManager&) = delete;
  WindowManager& operator=(const WindowManager&) = delete;

  const WindowSettings& settings() const { return settings_; }
  // Changing `translucent` here takes effect at the next composition; the caller
  // recomposes the whole view (Compose(0, 0, -1, -1, true)) when it changed.
  void SetSettings(const WindowSettings& settings);

  // ---- Callbacks owned by the view ---------------------------------------------------
  // Choose the plugin of the window at a position; mode 0 dialog, 1 next, -1 the
  // plugin-button action setting.
  std::function<void(int position, int mode)> selectPlugin;
  // The data refresh command (host key "keyreflesh").
  std::function<void()> dataRefresh;

  // ---- Windows -----------------------------------------------------------------------------

  // Opens an empty window on top; returns its position, or -1 after showing the limit
  // message when five are open.
  int NewWindow();
  void CloseWindow(int p);
  void ToggleMaximize(int p, bool recompose);

  // Draws p's chrome; with `clear` the whole buffer is filled white first, with `notify`
  // the plugin is asked to repaint (LiveResize when `live`, else Redraw).
  void RenderWindow(int p, bool clear, bool notify, bool live);
  // Redraws the chrome pieces that meet the window-relative rectangle (l, t, r, b).
  void RenderChromePart(int p, int l, int t, int r, int b);
  // Compose over p's rectangle (full).
  void PresentWindow(int p);

  // The view now shows width x height of the buffers (at most the buffers' size): sets
  // clientWidth / clientHeight and the grid area, gives the maximised window the new area
  // and brings every window back within reach — moved left and up, and made smaller only
  // where it is larger than the grid area.  A
  // window moved that way keeps the rectangle the user gave it and goes back towards it
  // when the view grows again; moving, resizing, maximising or closing it forgets that,
  // and SaveLayout stores the user's rectangle.  Recomposes the whole view when anything
  // changed.
  void SetClientSize(int width, int height);

  // Composition (see Composer).
  void Compose(int x, int y, int w, int h, bool full) { composer_.Compose(x, y, w, h, full); }
  void MarkWindows(int l, int t, int r, int b) { composer_.MarkWindows(l, t, r, b); }
  void DropHidden() { composer_.DropHidden(); }
  void ComposeMarked() { composer_.ComposeMarked(); }

  // Highest position whose rectangle holds (x, y), edges included; the maximised window
  // whatever the point; -1 when none.
  int HitTest(int x, int y) const;

  // Moves / resizes the window at p by the grid steps the stylus crossed from (fromX,
  // fromY) to (toX, toY).  Not for the maximised window.  MoveWindow returns whether the
  // window moved.  Sizes never drop below 90 x 50 (unless the grid area is smaller).
  bool MoveWindow(int p, int fromX, int fromY, int toX, int toY);
  void ResizeWindow(int p, int fromX, int fromY, int toX, int toY, bool live);

  // Moves the window at `from` to position `to`; the windows in between move by one
  // toward `from`.  `active`, `maximized` and a drag in progress (`pressed`) follow their
  // windows.  Nothing is drawn.  Nothing happens unless both positions are valid.
  void MovePosition(int from, int to);

  // Restacking of the active window; nothing while a window is maximised or none is active.
  void RaiseOne();
  void RaiseToTop();
  void LowerOne();
  void LowerToBottom();

  void NextWindow();
  void PreviousWindow();

  // Sets the shared current date from the clock and broadcasts DateChanged.
  void Today();

  // Menu commands of the window menu and "今日" (the WindowCommand ids); false for other ids.
  bool HandleCommand(int command);

  // ---- Input ---------------------------------------------------------------------------------

  void StylusDown(int x, int y) { StylusPress(x, y, false); }
  void StylusDoubleDown(int x, int y) { StylusPress(x, y, true); }
  void StylusMove(int x, int y);
  void StylusUp(int x, int y);
  void KeyDown(int key);
  void KeyUp(int key);

  // ---- Layout -------------------------------------------------------------------------------

  // Writes "win_num" and the rectangle and plugin path of each position to section
  // "setting" of the application's profile.
  void SaveLayout();
  // Opens the saved windows (or one empty window when none were saved), loads their
  // plugins (a plugin file that is gone is looked for in this run's plugin folder, see
  // LocatePluginFile), activates the top one and composes the whole view.
  void RestoreLayout();

 private:
  void StylusPress(int x, int y, bool doublePress);
  void SwapPositions(int a, int b);
  void RenderAllChrome();
  void CycleWindows(bool next);
  // Chrome pieces, as bits of RenderChromePieces' mask.
  enum ChromePiece : unsigned {
    kChromeTitle = 1,  // strip background, plugin button, frame buttons, fill, text
    kChromeLeft = 2,
    kChromeRight = 4,
    kChromeBottom = 8,
    kChromeGrip = 16,
    kChromeAll = 31
  };
  void RenderChromePieces(int p, unsigned pieces);

  // A window's own rectangle (for the maximised window the one it returns to).
  struct WindowRect {
    int left, top, width, height;
    bool operator==(const WindowRect&) const = default;
  };
  WindowRect OwnRect(int p) const;
  void SetOwnRect(int p, const WindowRect& r);
  // Puts p's own rectangle within the grid area (see SetClientSize); true when its size
  // changed, so that its plugin must draw it again.
  bool BringIntoReach(int p);

  HostContext& host_;
  ViewPort& view_;
  PluginHost& plugins_;
  Composer composer_;
  WindowSettings settings_;
  bool captured_ = false;  // between a stylus press and its release
  // By slot: the rectangle the user gave a window that BringIntoReach moved.
  std::array<std::optional<WindowRect>, kMaxWindows> wanted_;
};

}  // namespace yk
