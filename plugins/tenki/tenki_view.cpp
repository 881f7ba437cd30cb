#include "plugins/tenki/tenki_view.h"

#include <algorithm>
#include <cstdlib>

#include "platform/clock.h"
#include "platform/message_box.h"
#include "plugins/tenki/ansi_lines.h"
#include "plugins/tenki/forecast_page.h"
#include "plugins/tenki/forecast_text.h"
#include "plugins/tenki/weather_stamps.h"

namespace yk::tenki {
namespace {

constexpr char16_t kChooseAreaFirst[] = u"メニューのプラグイン／設定から地域を指定して下さい。";
constexpr char16_t kNoSettings[] = u"設定を行ってください";
constexpr char16_t kNoTempFile[] = u"一時ファイルを開けませんでした";
constexpr char16_t kNoForecastOnPage[] = u"ページに天気予報が見つかりませんでした";
constexpr char16_t kNoForecast[] = u"天気データが無い為反映できません";
constexpr char16_t kApplyQuestion[] = u"天気をアイコンに反映させますか？";
constexpr char16_t kIconFileFailed[] = u"アイコンファイルの作成に失敗しました";
// The help button: the forecast site's name, then what the buttons do.
constexpr char16_t kSiteName[] = u"そらもよう天気";
constexpr char16_t kHelpText[] =
    u"から天気予報をダウンロードします。メニューのプラグイン/設定から地域を指定して下さい。\n"
    u"更新で情報をダウンロード、適用でカレンダーのスタンプに天気スタンプを反映します。";

constexpr char kListFile[] = "tvk_tenki.lst";
constexpr char kTempFile[] = "tvk_tenki.tmp";
constexpr char kRecordFile[] = "tvk_tenki.tdt";

// The buttons row of the window (window coordinates) and of the image.
constexpr int kRowTop = 20;
constexpr int kRowBottom = 40;
constexpr int kUpdateRight = 40;
constexpr int kApplyRight = 80;
constexpr int kHelpLeft = 90;
constexpr int kHelpRight = 110;
constexpr int kButtonBackX = 0, kButtonBackY = 340;  // parts sheet, 40 x 20
constexpr int kHelpBackX = 160, kHelpBackY = 340;    // parts sheet, 20 x 20
constexpr int kRowWidth = 110;
// The text in the image, and the part of the image the window can scroll over.
constexpr int kTextLeft = 2, kTextTop = 23;
constexpr int kScrollWidth = 304;   // image width and the window's borders
constexpr int kScrollHeight = 372;  // image height, the window's title and borders
constexpr int kContentTop = 40;     // where the text starts in the window
constexpr int kMinHeightForText = 43;

}  // namespace

std::filesystem::path ContextFolder(const YkChar (&folder)[260]) {
  const YkChar* end = std::find(std::begin(folder), std::end(folder), YkChar(0));
  return std::filesystem::path(std::u16string(std::begin(folder), end));
}

TenkiView::TenkiView(HostContext* host, int slot, PixelBuffer image, ConstPixelBuffer buttons,
                     TenkiHooks* hooks)
    : host_(host),
      slot_(std::clamp(slot, 0, kMaxWindows - 1)),
      image_(image),
      buttons_(buttons),
      hooks_(hooks) {}

std::filesystem::path TenkiView::PluginFile(const char* name) const {
  return ContextFolder(host_->appFolder) / "plugin" / name;
}

void TenkiView::Load(platform::Profile& profile) {
  text_ = profile.GetString(kSettingsSection, u"data", kChooseAreaFirst);
  url_ = profile.GetString(kSettingsSection, u"url", u"");
  area_ = profile.GetString(kSettingsSection, u"area", u"");
  icity_ = profile.GetInt(kSettingsSection, u"icity", 0);
  iarea_ = profile.GetInt(kSettingsSection, u"iarea", 0);
  record_ = LoadForecastRecord(PluginFile(kRecordFile)).value_or(ForecastRecord{});
  if (text_.empty()) text_ = record_.valid ? ForecastText(record_, area_) : kChooseAreaFirst;
}

void TenkiView::Save(platform::Profile& profile) {
  if (record_.valid) text_.clear();  // rebuilt from the .tdt next time
  profile.WriteString(kSettingsSection, u"data", text_);
  profile.WriteString(kSettingsSection, u"url", url_);
  profile.WriteString(kSettingsSection, u"area", area_);
  profile.WriteInt(kSettingsSection, u"icity", icity_);
  profile.WriteInt(kSettingsSection, u"iarea", iarea_);
}

void TenkiView::Redraw(bool full) {
  const PixelBuffer window = SlotBuffer(*host_, slot_);
  const int width = slot().width;
  const int height = slot().height;
  FillWhite(window, 2, 20, width - 4, height - 22);
  if (full) {
    FillWhite(image_, 0, 0, kImageWidth, kImageHeight);
    hooks_->DrawImageText(text_, kTextLeft, kTextTop, kImageWidth, kImageHeight,
                          host_->fontName.get(), kTextHeight);
  }
  const PixelBuffer parts = PartsBuffer(*host_);
  CopyRop(image_, 0, 0, 40, 20, parts, kButtonBackX, kButtonBackY, kSrcCopy);
  CopyRop(image_, 40, 0, 40, 20, parts, kButtonBackX, kButtonBackY, kSrcCopy);
  Blend(image_, 0, 0, 80, 20, buttons_, 0, 0, kBlendMultiply);
  CopyRop(image_, kHelpLeft, 0, 20, 20, parts, kHelpBackX, kHelpBackY, kSrcCopy);
  Blend(image_, kHelpLeft, 0, 20, 20, buttons_, 80, 0, kBlendMultiply);

  scrollX_ = std::clamp(scrollX_, 0, std::max(0, kScrollWidth - width));
  scrollY_ = std::clamp(scrollY_, 0, std::max(0, kScrollHeight - height));
  CopyRop(window, 2, kRowTop, std::min(width - 4, kRowWidth), std::min(height - 22, kButtonsHeight),
          image_, 0, 0, kSrcCopy);
  if (height >= kMinHeightForText)
    CopyRop(window, 2, kContentTop, std::min(width - 4, kImageWidth),
            std::min(height - 42, kImageHeight), image_, scrollX_, scrollY_ + kButtonsHeight,
            kSrcCopy);
}

int TenkiView::Notify(int code) {
  if (code != kNotifyRedraw && code != kNotifyTick && code != kNotifyLiveResize)
    return kRequestNone;
  Redraw(true);
  return kRequestRepaint;
}

int TenkiView::MouseDown(int x, int y) {
  lastX_ = x;
  lastY_ = y;
  dragging_ = false;
  return kRequestNone;
}

int TenkiView::MouseMove(int x, int y) {
  if (!dragging_) {
    dragging_ = std::abs(x - lastX_) > kDragThreshold || std::abs(y - lastY_) > kDragThreshold;
    return kRequestNone;
  }
  scrollX_ += lastX_ - x;
  scrollY_ += lastY_ - y;
  lastX_ = x;
  lastY_ = y;
  Redraw(false);
  return kRequestRepaint;
}

int TenkiView::MouseUp(int x, int y) {
  if (dragging_) {
    scrollX_ += lastX_ - x;
    scrollY_ += lastY_ - y;
    Redraw(false);
    dragging_ = false;
    return kRequestRepaint;
  }
  if (y <= kRowTop || y >= kRowBottom) return kRequestNone;
  if (x < kUpdateRight) return Update();
  if (x < kApplyRight) return Apply();
  if (x > kHelpLeft && x < kHelpRight)
    platform::MessageBox(std::u16string(kSiteName) + kHelpText, platform::kDefaultCaption,
                         platform::kMbOk | platform::kMbIconInformation);
  return kRequestNone;
}

int TenkiView::Config() {
  if (auto chosen = hooks_->ChooseArea(PluginFile(kListFile), iarea_, icity_)) {
    iarea_ = chosen->area;
    icity_ = chosen->city;
    area_ = chosen->label;
    url_ = chosen->url;
  }
  return kRequestNone;
}

int TenkiView::Update() {
  if (area_.empty() || url_.empty()) {
    platform::MessageBox(kNoSettings);
    return kRequestNone;
  }
  // The forecast shown, and its file, stay until a new page has been read: a failed or
  // cancelled download costs nothing.
  DownloadSettings download{
      url_,   PluginFile(kTempFile), host_->dialUse, host_->dialCheck, host_->dialName.get(),
      limits_};
  if (hooks_->RunDownload(download)) {
    std::vector<std::u16string> lines;
    const bool opened = ForEachAnsiLine(download.tempFile, [&](std::u16string_view line) {
      lines.emplace_back(line);
      return true;
    });
    if (!opened) {
      text_ = kNoTempFile;
    } else {
      const platform::LocalTime now = platform::Now();
      PageScan scan = ScanForecastPage(lines, now.year, now.month);
      if (!scan.foundToday) {
        platform::MessageBox(kNoForecastOnPage);
      } else {
        record_ = std::move(scan.record);
        text_ = ForecastText(record_, area_);
        // A forecast that could not be stored is still shown; the file keeps the last one.
        (void)SaveForecastRecord(PluginFile(kRecordFile), record_);
      }
    }
  }
  Redraw(true);
  return kRequestRepaint;
}

int TenkiView::Apply() {
  if (!record_.valid) {
    platform::MessageBox(kNoForecast);
    return kRequestNone;
  }
  if (platform::MessageBox(kApplyQuestion, platform::kDefaultCaption,
                           platform::kMbOkCancel | platform::kMbIconQuestion) != platform::kIdOk)
    return kRequestNone;
  const StampOutcome outcome = StampForecast(record_, ContextFolder(host_->dataFolder),
                                             [] { platform::MessageBox(kIconFileFailed); });
  if (!outcome.stamped) return kRequestNone;
  host_->changeYear = outcome.lastYear;
  host_->changeMonth = 0;
  host_->changeDay = 0;
  host_->changeExtra = 0;
  host_->changeFlags = kChangeWeatherIcons;
  host_->furtherCacheKey = 0;
  return kRequestBroadcastData;
}

}  // namespace yk::tenki
