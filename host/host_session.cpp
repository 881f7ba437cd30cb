#include "host/host_session.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "common/bitmap_ops.h"
#include "common/schedule_store.h"
#include "host/plugin_host.h"
#include "host/theme_parts.h"
#include "host/view_port.h"
#include "host/wallpaper.h"
#include "host/window_manager.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/profile.h"
#include "platform/text_codec.h"
#include "platform/virtual_keys.h"

namespace yk {
namespace {

constexpr int kPartsSheetBytes = 240 * 400 * 3;
constexpr int kBufferWidthStep = 8;
constexpr size_t kFolderUnits = 260;

// Copies a folder name into a Host context field; false when it does not fit with its
// terminator (the plugins read these fields as NUL-terminated text).
bool SetFolder(YkChar (&field)[kFolderUnits], std::u16string_view text) {
  std::fill(std::begin(field), std::end(field), u'\0');
  if (text.size() >= kFolderUnits) return false;
  std::copy(text.begin(), text.end(), field);
  return true;
}

}  // namespace

HostSession::HostSession(ViewPort& view) : view_(view) {}

HostSession::~HostSession() {
  Destroy();
}

bool HostSession::CreateSurface(int width, int height, YkHandle& bits, YkHandle& previous,
                                YkHandle& bitmap, YkHandle& dc) {
  bitmap = platform::CreateSurfaceBitmap(width, height, &bits);
  if (bitmap == 0) return false;
  dc = platform::CreateCompatibleDC();
  if (dc == 0) return false;
  previous = platform::SelectBitmap(dc, bitmap);
  std::memset(platform::PixelsOf(bits), 255, platform::PixelBytesOf(bits));
  return true;
}

void HostSession::ReleaseSurface(YkHandle& bits, YkHandle& previous, YkHandle& bitmap,
                                 YkHandle& dc) {
  if (dc != 0) platform::SelectBitmap(dc, previous);
  if (bitmap != 0) platform::DeleteBitmap(bitmap);
  if (dc != 0) platform::DeleteDC(dc);
  bits = previous = bitmap = dc = 0;
}

bool HostSession::Create(const CreateParams& params) {
  if (host_ || destroyed_) return false;
  app_ = params.app;
  host_.reset(new (std::nothrow) HostContext());
  if (!host_) {
    platform::MessageBox(kMemoryErrorText);
    return false;
  }
  HostContext& h = *host_;
  h.ready = 0;
  h.bufferWidth = (std::max(params.clientWidth, 1) + kBufferWidthStep - 1) / kBufferWidthStep *
                  kBufferWidthStep;
  h.bufferHeight = std::max(params.clientHeight, 1);
  h.bufferBytes = h.bufferWidth * h.bufferHeight * 3;
  h.partsBytes = kPartsSheetBytes;
  h.pressed = -1;

  // FIXME: a program folder whose path does not fit the 260-unit fields cannot start; it is
  // reported like a data file that does not load.
  if (!SetFolder(h.appFolder, params.appFolder) ||
      !SetFolder(h.dataFolder, params.appFolder + u"data/")) {
    platform::MessageBox(kDataFileErrorText);
    return false;
  }
  // A schedule move cut short by a crash is settled before any plugin reads the data.
  (void)SettleScheduleMove(platform::Utf16ToUtf8(h.dataFolder));

  if (!CreateSurface(240, 400, h.partsBits, h.partsPreviousBitmap, h.partsBitmap, h.partsDC)) {
    platform::MessageBox(kMemoryErrorText);
    return false;
  }
  if (!LoadThemeParts(h, false)) return false;

  bool buffers = CreateSurface(h.bufferWidth, h.bufferHeight, h.screenBits, h.screenPreviousBitmap,
                               h.screenBitmap, h.screenDC) &&
                 CreateSurface(h.bufferWidth, h.bufferHeight, h.backBits, h.backPreviousBitmap,
                               h.backBitmap, h.backDC);
  for (int i = 0; buffers && i < kMaxWindows; ++i) {
    PluginSlot& slot = h.slots[i];
    buffers = CreateSurface(h.bufferWidth, h.bufferHeight, slot.bits, slot.previousBitmap,
                            slot.bitmap, slot.dc);
    slot.loaded = slot.timerOn = slot.inUse = 0;
  }
  if (!buffers) {
    platform::MessageBox(kMemoryErrorText);
    return false;
  }

  h.maximized = -1;
  h.windowCount = 0;
  h.active = -1;
  platform::LocalTime now = platform::Now();
  h.todayYear = now.year;
  h.todayMonth = now.month;
  h.todayDay = now.day;
  h.todayHour = now.hour;
  h.todayMinute = now.minute;

  plugins_ = std::make_unique<PluginHost>(h, view_);
  windows_ = std::make_unique<WindowManager>(h, view_, *plugins_);
  windows_->dataRefresh = [this] { DataRefresh(); };

  ReadSettings();
  LoadWallpaperAtStart();
  h.ready = 1;
  EmptySharedCaches();
  MergeIconImage(h);
  return true;
}

void HostSession::ReadSettings() {
  platform::Profile* profile = platform::ProfileOf(app_);
  auto get = [&](const char16_t* key, int fallback) {
    return profile->GetInt(kSettingSection, key, fallback);
  };
  WindowSettings& w = settings_.windows;
  settings_.wallpaper = profile->GetString(kSettingSection, u"wallpaper", u"");
  w.focusMode = get(u"focuswin", 1) != 0;
  w.translucent = get(u"transwin", 0) != 0;
  for (HostKeyAction key : {kKeyDataRefresh, kKeyPluginSelect, kKeyNextWindow, kKeyPreviousWindow,
                            kKeyToday, kKeyPluginNext})
    w.keys[key] = platform::KeyCodeFromStored(get(kHostKeyValueNames[key], 0));
  host_->fontName.set(profile->GetString(kSettingSection, u"font", kDefaultFontName));
  host_->dialName.set(profile->GetString(kSettingSection, u"dialname", u""));
  host_->dialUse = get(u"dialuse", 0) != 0 ? 1 : 0;
  host_->dialCheck = get(u"dialcheck", 0) != 0 ? 1 : 0;
  // 0 opens the selection dialog; any other number switches to the next plugin.
  w.pluginButtonAction = get(u"plugtype", 0) != 0 ? kPluginButtonNext : kPluginButtonDialog;
  windows_->SetSettings(w);
}

void HostSession::LoadWallpaperAtStart() {
  if (settings_.wallpaper.empty()) return;
  // A picture that fails now keeps its stored name for the next start: the load works on a
  // copy, so shutdown writes the name back as it was.
  std::u16string path = settings_.wallpaper;
  PixelBuffer back = BackBuffer(*host_);
  (void)LoadWallpaper(path, back.bits, back.width, back.height, size_t(back.bytes));
}

void HostSession::EmptySharedCaches() {
  HostContext& h = *host_;
  h.holidays.count = 0;
  h.holidays.loadedYear = 0;
  std::fill(std::begin(h.schedules.keys), std::end(h.schedules.keys), 0);
  std::fill(std::begin(h.schedules.counts), std::end(h.schedules.counts), 0);
  h.furtherCacheKey = 0;
  h.furtherCacheKey2 = 0;
}

bool HostSession::InitialUpdate(const Header& header) {
  if (!ready()) return false;
  HostContext& h = *host_;
  platform::Profile* profile = platform::ProfileOf(app_);
  settings_.windows.gridStep =
      GridStepFromStored(profile->GetInt(kSettingSection, u"wingrid", kDefaultGridStep));
  h.viewWindow = header.viewWindow;
  h.frameWindow = header.frameWindow;
  h.app = app_;
  h.mainWnd = header.mainWnd;
  h.view = header.viewWindow;
  windows_->SetSettings(settings_.windows);
  // The client size and the grid area within it, as every later resize of the view sets them.
  windows_->SetClientSize(header.clientWidth, header.clientHeight);

  windows_->RestoreLayout();

  if (profile->GetInt(kSettingSection, u"firsttime", 0) == 0)
    platform::MessageBox(kWelcomeText, platform::kDefaultCaption, platform::kMbOk);
  profile->WriteInt(kSettingSection, u"firsttime", 1);
  return true;
}

void HostSession::SaveSettings() {
  platform::Profile* profile = platform::ProfileOf(app_);
  const HostContext& h = *host_;
  const WindowSettings& w = windows_->settings();
  auto put = [&](const char16_t* key, int value) {
    profile->WriteInt(kSettingSection, key, value);
  };
  put(u"dialcheck", h.dialCheck);
  put(u"dialuse", h.dialUse);
  profile->WriteString(kSettingSection, u"dialname", h.dialName.get());
  profile->WriteString(kSettingSection, u"font", h.fontName.get());
  profile->WriteString(kSettingSection, u"wallpaper", settings_.wallpaper);
  put(u"focuswin", w.focusMode ? 1 : 0);
  put(u"transwin", w.translucent ? 1 : 0);
  put(u"wingrid", w.gridStep);
  WriteHostKeys(w.keys);
}

void HostSession::WriteHostKeys(const std::array<int, kHostKeyCount>& keys) {
  platform::Profile* profile = platform::ProfileOf(app_);
  for (HostKeyAction action : {kKeyDataRefresh, kKeyPluginSelect, kKeyPluginNext, kKeyNextWindow,
                               kKeyPreviousWindow, kKeyToday})
    profile->WriteInt(kSettingSection, kHostKeyValueNames[action], keys[action]);
}

void HostSession::Destroy() {
  if (destroyed_) return;
  destroyed_ = true;
  if (!host_) return;
  HostContext& h = *host_;
  if (h.ready == 1 && windows_) {
    SaveSettings();
    windows_->SaveLayout();
  }
  ReleaseSurface(h.partsBits, h.partsPreviousBitmap, h.partsBitmap, h.partsDC);
  ReleaseSurface(h.screenBits, h.screenPreviousBitmap, h.screenBitmap, h.screenDC);
  ReleaseSurface(h.backBits, h.backPreviousBitmap, h.backBitmap, h.backDC);
  for (int i = 0; i < kMaxWindows; ++i) {
    PluginSlot& slot = h.slots[i];
    ReleaseSurface(slot.bits, slot.previousBitmap, slot.bitmap, slot.dc);
    if (plugins_) plugins_->UnloadPlugin(i, false);
  }
  h.ready = 0;
  windows_.reset();
  plugins_.reset();
  for (PluginSlot& slot : h.slots) {
    slot.path.release();
    slot.name.release();
  }
  h.fontName.release();
  h.dialName.release();
  host_.reset();
}

void HostSession::RedrawAllWindows() {
  if (!ready()) return;
  for (int p = 0; p < host_->windowCount; ++p) {
    plugins_->SendNotify(p, kNotifyRedraw);
    windows_->RenderWindow(p, false, false, false);
  }
  windows_->Compose(0, 0, -1, -1, true);
}

void HostSession::DataRefresh() {
  if (!ready()) return;
  EmptySharedCaches();
  MergeIconImage(*host_);
  RedrawAllWindows();
}

void HostSession::ApplyWindowSettings(bool focusMode, bool translucent, int gridStep,
                                      int pluginButton) {
  if (!ready()) return;
  WindowSettings w = windows_->settings();
  bool translucencyChanged = w.translucent != translucent;
  w.focusMode = focusMode;
  w.translucent = translucent;
  w.gridStep = gridStep;
  w.pluginButtonAction = pluginButton != 0 ? kPluginButtonNext : kPluginButtonDialog;
  windows_->SetSettings(w);
  settings_.windows = w;
  if (translucencyChanged) windows_->Compose(0, 0, -1, -1, true);
  platform::Profile* profile = platform::ProfileOf(app_);
  profile->WriteInt(kSettingSection, u"focuswin", w.focusMode ? 1 : 0);
  profile->WriteInt(kSettingSection, u"transwin", w.translucent ? 1 : 0);
  profile->WriteInt(kSettingSection, u"wingrid", w.gridStep);
  profile->WriteInt(kSettingSection, u"plugtype", w.pluginButtonAction);
}

bool HostSession::ApplyTheme(const std::u16string& themeFileName) {
  if (!ready()) return false;
  // A file that is no usable picture (or cannot be copied) leaves the current theme; the
  // user hears why, in the words the start-up uses for the same fault.
  if (!InstallThemeFile(AppFolderPath(*host_), themeFileName)) {
    platform::MessageBox(kDataFileErrorText);
    return false;
  }
  bool loaded = LoadThemeParts(*host_, true);
  RedrawAllWindows();
  return loaded;
}

bool HostSession::ApplyWallpaper(const std::u16string& path) {
  if (!ready()) return false;
  std::u16string chosen = path;
  PixelBuffer back = BackBuffer(*host_);
  // LoadWallpaper leaves the background as it was when the picture does not load.
  if (!LoadWallpaper(chosen, back.bits, back.width, back.height, size_t(back.bytes))) return false;
  settings_.wallpaper = chosen;
  windows_->Compose(0, 0, -1, -1, true);
  platform::ProfileOf(app_)->WriteString(kSettingSection, u"wallpaper", settings_.wallpaper);
  return true;
}

void HostSession::RemoveWallpaper() {
  if (!ready()) return;
  settings_.wallpaper.clear();
  PixelBuffer back = BackBuffer(*host_);
  FillWhite(back, 0, 0, back.width, back.height);
  windows_->Compose(0, 0, -1, -1, true);
  platform::ProfileOf(app_)->WriteString(kSettingSection, u"wallpaper", settings_.wallpaper);
}

bool HostSession::ToggleDialUse() {
  if (!ready()) return false;
  host_->dialUse = 1 - host_->dialUse;
  platform::ProfileOf(app_)->WriteInt(kSettingSection, u"dialuse", host_->dialUse);
  return host_->dialUse == 1;
}

void HostSession::ApplyHostKeys(const std::array<int, kHostKeyCount>& keys) {
  if (!ready()) return;
  WindowSettings w = windows_->settings();
  w.keys = keys;
  windows_->SetSettings(w);
  settings_.windows.keys = keys;
  WriteHostKeys(keys);
}

void HostSession::ApplyFont(const std::u16string& face) {
  if (!ready()) return;
  host_->fontName.set(face);
  RedrawAllWindows();
  platform::ProfileOf(app_)->WriteString(kSettingSection, u"font", face);
}

void HostSession::ApplyDialup(const std::u16string& dialName, int dialCheck) {
  if (!ready()) return;
  host_->dialName.set(dialName);
  host_->dialCheck = dialCheck != 0 ? 1 : 0;
  platform::Profile* profile = platform::ProfileOf(app_);
  profile->WriteInt(kSettingSection, u"dialcheck", host_->dialCheck);
  profile->WriteString(kSettingSection, u"dialname", dialName);
}

}  // namespace yk
