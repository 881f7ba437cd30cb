// host_session.h — the life of the host: the Host context with every buffer, the settings
// of section "setting", the theme picture, the wallpaper, the windows, and the orderly
// shutdown.  No widgets here: the view (CTavikView) forwards its creation, initial update,
// destruction and commands to a HostSession, and tests drive one with a fake ViewPort.
//
// Order of events:
//   Create()         allocates the Host context and every buffer (never reallocated
//                    afterwards), loads data/tavik.dat, reads the settings, loads the
//                    wallpaper and merges icon.bmp.  Stops at the first failure, after its
//                    message, and leaves ready() false.
//   InitialUpdate()  reads the grid step, fills the header, restores the saved windows and
//                    shows the welcome message on the first start.  Refuses (false) when
//                    Create() failed: the program then ends without saving anything, so the
//                    stored settings survive a start that failed.
//   Destroy()        saves the settings and the layout (only after a successful Create()),
//                    releases the buffers, unloads every plugin and frees the Host context.
//                    Runs once; later calls do nothing.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "common/plugin_interface.h"
#include "host/window_settings.h"
#include "platform/handles.h"

namespace yk {

class PluginHost;
class ViewPort;
class WindowManager;

inline constexpr char16_t kMemoryErrorText[] = u"メモリ確保エラーが発生しました";
inline constexpr char16_t kDataFileErrorText[] = u"データファイルの読み込みに失敗しました";
inline constexpr char16_t kWelcomeText[] =
    u"Yomitokiへようこそ！\n\nYomitokiはウィンドウベースのスケジュールソフトです。"
    u"ウィンドウを開いて、左上のボタンを押し内容を切り替えます。各所にある？ボタンを押すと"
    u"ヘルプが表示されます。PocketPC 2003以降推奨です。それ以前のバージョンだとメモリエラーが"
    u"頻発する可能性があります。\n\nPDA内のデータの保障は出来ませんので、バックアップはこまめに"
    u"行いましょう。";
inline constexpr char16_t kDefaultFontName[] = u"ＭＳ Ｐゴシック";

// The view's settings that are not the window manager's.
struct ViewSettings {
  std::u16string wallpaper;  // "wallpaper": full path of a JPEG file, empty for none
  WindowSettings windows;    // "focuswin", "transwin", "wingrid", "plugtype", the host keys
};

class HostSession {
 public:
  struct CreateParams {
    int clientWidth = 800;  // what the buffers must hold: the screen's available area
    int clientHeight = 600;
    std::u16string appFolder;  // the program's folder, ending in '/'
    platform::Handle app = 0;  // the application object (its profile holds the settings)
  };

  // The window handles that the Host context's header records at initial update.
  struct Header {
    platform::Handle viewWindow = 0;   // receives the request message and the plugin timers
    platform::Handle frameWindow = 0;  // the foreground top-level window at that moment
    platform::Handle mainWnd = 0;
    int clientWidth = 0;  // the view's client size now
    int clientHeight = 0;
  };

  explicit HostSession(ViewPort& view);
  ~HostSession();  // Destroy()
  HostSession(const HostSession&) = delete;
  HostSession& operator=(const HostSession&) = delete;

  [[nodiscard]] bool Create(const CreateParams& params);
  [[nodiscard]] bool InitialUpdate(const Header& header);
  void Destroy();

  // True between a successful Create() and Destroy().
  bool ready() const { return host_ != nullptr && host_->ready == 1; }

  // nullptr before Create() and after Destroy(); the address never changes in between.
  HostContext* host() { return host_.get(); }
  const HostContext* host() const { return host_.get(); }
  PluginHost* plugins() { return plugins_.get(); }
  WindowManager* windows() { return windows_.get(); }
  const ViewSettings& settings() const { return settings_; }
  platform::Handle app() const { return app_; }

  // ---- Commands ------------------------------------------------------------------------

  // "データ更新": empties the shared caches, merges icon.bmp again, asks every window to
  // redraw (bottom first) and recomposes the whole view.
  void DataRefresh();

  // Every window redraws its content (notify Redraw, bottom first) and chrome, then the
  // whole view is recomposed: after a theme or font change.
  void RedrawAllWindows();

  // The settings dialog's values: applies them, recomposes when the translucent mode
  // changed and writes "focuswin", "transwin", "wingrid", "plugtype".
  void ApplyWindowSettings(bool focusMode, bool translucent, int gridStep, int pluginButton);

  // A theme file was chosen in the theme dialog: copies it over data/tavik.dat, reloads the
  // parts sheet with the icon image and redraws everything.  A file that is no loadable
  // picture, or a copy that fails, shows "データファイルの読み込みに失敗しました" and changes
  // nothing (false).
  [[nodiscard]] bool ApplyTheme(const std::u16string& themeFileName);

  // A wallpaper was chosen: loads it into the background, recomposes the whole view and
  // writes "wallpaper".  A picture that does not load (its message has been shown)
  // changes nothing: the wallpaper on screen and the stored one stay as they were, so the
  // next start shows what the user sees now (false).
  bool ApplyWallpaper(const std::u16string& path);

  // "壁紙なし": a white background, the whole view recomposed, and an empty "wallpaper".
  void RemoveWallpaper();

  // "ﾀﾞｲﾔﾙｱｯﾌﾟ": flips dialUse, writes "dialuse" and returns the new state.
  bool ToggleDialUse();

  // The host key dialog's OK: the six codes (in HostKeyAction order) take effect at once
  // and are written as "keyreflesh", "keyplugsel", "keyplugselnext", "keynextwin",
  // "keyprevwin", "keytoday".
  void ApplyHostKeys(const std::array<int, kHostKeyCount>& keys);

  // The font dialog's OK: fontName becomes `face`, every window redraws in it (notify
  // Redraw, bottom first, and its chrome), the view is recomposed and "font" written.
  void ApplyFont(const std::u16string& face);

  // The dial-up dialog's OK: dialName and dialCheck, written as "dialcheck", "dialname".
  void ApplyDialup(const std::u16string& dialName, int dialCheck);

 private:
  [[nodiscard]] bool CreateSurface(int width, int height, YkHandle& bits, YkHandle& previous,
                                   YkHandle& bitmap, YkHandle& dc);
  void ReleaseSurface(YkHandle& bits, YkHandle& previous, YkHandle& bitmap, YkHandle& dc);
  void ReadSettings();
  void SaveSettings();
  // "keyreflesh", "keyplugsel", "keyplugselnext", "keynextwin", "keyprevwin", "keytoday".
  void WriteHostKeys(const std::array<int, kHostKeyCount>& keys);
  void EmptySharedCaches();
  void LoadWallpaperAtStart();

  ViewPort& view_;
  std::unique_ptr<HostContext> host_;
  std::unique_ptr<PluginHost> plugins_;
  std::unique_ptr<WindowManager> windows_;
  ViewSettings settings_;
  platform::Handle app_ = 0;
  bool destroyed_ = false;
};

}  // namespace yk
