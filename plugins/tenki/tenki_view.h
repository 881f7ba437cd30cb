// tenki_view.h — the weather window: its settings, the forecast it shows, the drawing,
// the stylus rules and the three buttons, without widgets.
//
// Drawing: a 300 x 350 off-screen image holds the buttons row (rows 0..19: update and
// apply over the parts sheet's (0, 340) background, help over its (160, 340) one, the
// labels of tvk_tenki.dat multiplied over them) and the text from (2, 23), black, in the
// host's font at height 12, word-wrapped.  The window shows the buttons row at (2, 20)
// and, from (2, 40), the text part of the image from the scroll position.  A plain redraw
// (after a drag) draws the window from the image as it is; a full redraw draws the text
// into the image first.
//
// Stylus: a press remembers its point; moving more than kDragThreshold pixels away in x or
// y starts a drag, which scrolls the text with the stylus (moving it left scrolls right).
// A release that ends no drag taps a button of the row 20 < y < 40: x < 40 update,
// 40 <= x < 80 apply, 90 < x < 110 help.
//
// Settings (section "plugin_tvc_tenki"): iarea, icity (the area dialog's choice), area (its
// label), url (its page address), data (the text shown, kept only when it is a message:
// a forecast is rebuilt from plugin/tvk_tenki.tdt at the next start).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/bitmap_ops.h"
#include "common/plugin_interface.h"
#include "platform/profile.h"
#include "plugins/tenki/forecast_download.h"
#include "plugins/tenki/forecast_record.h"

namespace yk::tenki {

inline constexpr char16_t kPluginName[] = u"天気予報";
inline constexpr char16_t kSettingsSection[] = u"plugin_tvc_tenki";
inline constexpr int kImageWidth = 300;
inline constexpr int kImageHeight = 350;
inline constexpr int kButtonsWidth = 120;  // tvk_tenki.dat
inline constexpr int kButtonsHeight = 20;
inline constexpr int kDragThreshold = 8;
inline constexpr int kTextHeight = 12;

// The folder of the program or of the data, from a Host context's UTF-16 field.
std::filesystem::path ContextFolder(const YkChar (&folder)[260]);

struct AreaSelection {
  int area = 0;
  int city = 0;
  std::u16string label;
  std::u16string url;
};

// What the window needs from the platform: text and its two dialogs.
class TenkiHooks {
 public:
  virtual ~TenkiHooks() = default;
  // Black text, word-wrapped, into the off-screen image's rectangle.
  virtual void DrawImageText(std::u16string_view text, int left, int top, int right, int bottom,
                             std::u16string_view face, int height) = 0;
  // The download dialog, modal; true when the page was stored.
  virtual bool RunDownload(const DownloadSettings& settings) = 0;
  // The area dialog, modal; the choice after OK, std::nullopt after cancel.
  virtual std::optional<AreaSelection> ChooseArea(const std::filesystem::path& listFile, int area,
                                                  int city) = 0;
};

class TenkiView {
 public:
  // `image`: the 300 x 350 off-screen image; `buttons`: the 120 x 20 button labels.
  TenkiView(HostContext* host, int slot, PixelBuffer image, ConstPixelBuffer buttons,
            TenkiHooks* hooks);

  // plg_init: the settings, the last forecast and the text to show.
  void Load(platform::Profile& profile);
  // plg_destroy: the settings.
  void Save(platform::Profile& profile);

  int Notify(int code);
  int MouseDown(int x, int y);
  int MouseMove(int x, int y);
  int MouseUp(int x, int y);
  int Config();

  void Redraw(bool full);

  // For tests: the time-outs and size cap of the download.
  void SetDownloadLimits(const platform::HttpLimits& limits) { limits_ = limits; }

  const std::u16string& text() const { return text_; }
  const ForecastRecord& record() const { return record_; }
  const std::u16string& area() const { return area_; }
  const std::u16string& url() const { return url_; }
  int scrollX() const { return scrollX_; }
  int scrollY() const { return scrollY_; }

 private:
  int Update();
  int Apply();
  std::filesystem::path PluginFile(const char* name) const;
  const PluginSlot& slot() const { return host_->slots[slot_]; }

  HostContext* host_;
  int slot_;
  PixelBuffer image_;
  ConstPixelBuffer buttons_;
  TenkiHooks* hooks_;
  platform::HttpLimits limits_;

  int iarea_ = 0;
  int icity_ = 0;
  std::u16string area_;
  std::u16string url_;
  std::u16string text_;
  ForecastRecord record_;

  int scrollX_ = 0;
  int scrollY_ = 0;
  int lastX_ = 0;
  int lastY_ = 0;
  bool dragging_ = false;
};

}  // namespace yk::tenki
