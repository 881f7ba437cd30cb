#include "plugins/tenki/tenki_view.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/testing/message_recorder.h"
#include "plugins/tenki/forecast_text.h"
#include "plugins/tenki/tests/tenki_test_support.h"
#include "plugins/tenki/weather_stamps.h"

namespace yk::tenki {
namespace {

using platform::testing::MessageRecorder;
using testing::PixelAt;

constexpr char16_t kChooseAreaFirst[] = u"メニューのプラグイン／設定から地域を指定して下さい。";
constexpr uint32_t kWhite = 0xFFFFFF;

class WeatherWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetClockOverride(platform::LocalTime{2004, 5, 7, 9, 0, 0, 5});
    image_.assign(size_t(kImageWidth) * kImageHeight * 3, 0);
    // Labels: a grey square in each button's cell, white elsewhere.
    buttons_.assign(size_t(kButtonsWidth) * kButtonsHeight * 3, 255);
    PixelBuffer labels{buttons_.data(), kButtonsWidth, kButtonsHeight, int(buttons_.size())};
    for (int x : {10, 50, 85}) FillBlack(labels, x, 5, 10, 10);
    view_ = std::make_unique<TenkiView>(host_.ctx(), 0, image(), labels, &hooks_);
  }
  void TearDown() override { platform::SetClockOverride(std::nullopt); }

  PixelBuffer image() { return {image_.data(), kImageWidth, kImageHeight, int(image_.size())}; }
  // A view that has read its settings from `profile`.
  TenkiView& Loaded(platform::Profile& profile) {
    view_->Load(profile);
    return *view_;
  }
  void Choose(platform::MemoryProfile& profile) {
    profile.WriteString(kSettingsSection, u"area", u"関東：東京");
    profile.WriteString(kSettingsSection, u"url",
                        u"http://www.soramoyo.example.jp/yoho/tokyo.html");
  }
  std::filesystem::path RecordFile() const { return host_.plugin() / "tvk_tenki.tdt"; }
  ForecastRecord SavedRecord() {
    ForecastRecord r;
    r.year = 2004, r.month = 4, r.valid = true, r.firstDay = 30;
    r.days[0] = {u"晴", 30, 99, 99, 0};
    r.days[6] = {u"雨", 6, 20, 10, 50};
    return r;
  }

  testing::TenkiHost host_;
  testing::RecordingHooks hooks_;
  MessageRecorder messages_;
  std::vector<uint8_t> image_;
  std::vector<uint8_t> buttons_;
  std::unique_ptr<TenkiView> view_;
};

TEST_F(WeatherWindow, StartsWithTheLastForecastOrAHint) {
  struct Case {
    const char* rule;
    bool recordFile;
    const char16_t* data;  // nullptr: not stored
    std::u16string text;
  } cases[] = {
      {"first start", false, nullptr, kChooseAreaFirst},
      {"a message kept", true, u"情報を更新して下さい", u"情報を更新して下さい"},
      {"the forecast rebuilt from its file", true, u"", u""},
      {"no file and nothing kept", false, u"", kChooseAreaFirst},
  };
  cases[2].text = ForecastText(SavedRecord(), u"関東：東京");
  for (const auto& c : cases) {
    std::filesystem::remove(RecordFile());
    if (c.recordFile) {
      ASSERT_TRUE(SaveForecastRecord(RecordFile(), SavedRecord()));
    }
    platform::MemoryProfile profile;
    Choose(profile);
    if (c.data != nullptr) profile.WriteString(kSettingsSection, u"data", c.data);
    SetUp();
    EXPECT_EQ(Loaded(profile).text(), c.text) << c.rule;
    EXPECT_EQ(view_->record().valid, c.recordFile) << c.rule;
  }
}

TEST_F(WeatherWindow, SavesItsSettings) {
  platform::MemoryProfile profile;
  profile.WriteInt(kSettingsSection, u"iarea", 2);
  profile.WriteInt(kSettingsSection, u"icity", 4);
  Choose(profile);
  Loaded(profile).Save(profile);
  EXPECT_EQ(profile.GetString(kSettingsSection, u"data", u"?"), kChooseAreaFirst)
      << "a message is kept as it is";
  EXPECT_EQ(profile.GetInt(kSettingsSection, u"iarea", 0), 2);
  EXPECT_EQ(profile.GetInt(kSettingsSection, u"icity", 0), 4);

  hooks_.area = AreaSelection{1, 3, u"東北：仙台", u"http://x/sendai.html"};
  EXPECT_EQ(view_->Config(), kRequestNone);
  hooks_.page = testing::PageBytes("forecast_full.html");
  view_->MouseDown(20, 30);
  EXPECT_EQ(view_->MouseUp(20, 30), kRequestRepaint);
  view_->Save(profile);
  EXPECT_EQ(profile.GetString(kSettingsSection, u"data", u"?"), u"") << "a forecast is rebuilt";
  EXPECT_EQ(profile.GetString(kSettingsSection, u"area", u""), u"東北：仙台");
  EXPECT_EQ(profile.GetString(kSettingsSection, u"url", u""), u"http://x/sendai.html");
  EXPECT_EQ(profile.GetInt(kSettingsSection, u"iarea", 0), 1);
  EXPECT_EQ(profile.GetInt(kSettingsSection, u"icity", 0), 3);

  hooks_.area.reset();
  EXPECT_EQ(view_->Config(), kRequestNone);
  EXPECT_EQ(view_->area(), u"東北：仙台") << "cancel keeps the choice";
}

TEST_F(WeatherWindow, UpdateReadsTheNewForecast) {
  platform::MemoryProfile profile;
  Choose(profile);
  Loaded(profile);
  hooks_.page = testing::PageBytes("forecast_full.html");
  view_->MouseDown(5, 25);
  EXPECT_EQ(view_->MouseUp(5, 25), kRequestRepaint);
  ASSERT_EQ(hooks_.downloads.size(), 1u);
  const DownloadSettings& asked = hooks_.downloads[0];
  EXPECT_EQ(asked.url, u"http://www.soramoyo.example.jp/yoho/tokyo.html");
  EXPECT_EQ(asked.tempFile, host_.plugin() / "tvk_tenki.tmp");
  EXPECT_EQ(view_->record().year, 2004) << "year and month of the download";
  EXPECT_EQ(view_->record().month, 5);
  EXPECT_EQ(view_->record().days[6].day, 13);
  EXPECT_EQ(view_->text().rfind(u"\n関東：東京5月7～13日の天気予報\n　今日の予報：晴時々曇\n", 0),
            0u);
  EXPECT_EQ(LoadForecastRecord(RecordFile()), view_->record());
  ASSERT_FALSE(hooks_.drawn.empty());
  EXPECT_EQ(hooks_.drawn.back().text, view_->text()) << "drawn at once";
  EXPECT_TRUE(messages_.texts().empty());
}

// A download that fails, is cancelled or brings no forecast costs nothing.
TEST_F(WeatherWindow, AFailedUpdateKeepsTheLastForecast) {
  ASSERT_TRUE(SaveForecastRecord(RecordFile(), SavedRecord()));
  const std::string savedFile = testing::ReadFile(RecordFile());
  struct Case {
    const char* rule;
    std::optional<std::string> page;
    std::vector<std::u16string> messages;
  } cases[] = {
      {"download failed or cancelled", std::nullopt, {}},
      {"a page without a forecast",
       testing::Cp932("<HTML>メンテナンス中</HTML>\n"),
       {u"ページに天気予報が見つかりませんでした"}},
  };
  for (const auto& c : cases) {
    platform::MemoryProfile profile;
    Choose(profile);
    SetUp();
    MessageRecorder messages;
    Loaded(profile);
    const std::u16string before = view_->text();
    hooks_.page = c.page;
    view_->MouseDown(5, 25);
    EXPECT_EQ(view_->MouseUp(5, 25), kRequestRepaint) << c.rule;
    EXPECT_EQ(view_->text(), before) << c.rule;
    EXPECT_EQ(view_->record(), SavedRecord()) << c.rule;
    EXPECT_EQ(testing::ReadFile(RecordFile()), savedFile) << c.rule;
    EXPECT_EQ(messages.texts(), c.messages) << c.rule;
  }
}

TEST_F(WeatherWindow, ButtonsAnswerTaps) {
  platform::MemoryProfile profile;
  Loaded(profile);
  struct Case {
    const char* rule;
    int x, y;
    int request;
    std::vector<std::u16string> messages;
  } cases[] = {
      // clang-format off
      {"update before an area is chosen", 10, 30, kRequestNone, {u"設定を行ってください"}},
      {"apply without a forecast", 60, 30, kRequestNone, {u"天気データが無い為反映できません"}},
      {"help", 100, 30, kRequestNone,
       {u"そらもよう天気から天気予報をダウンロードします。"
        u"メニューのプラグイン/設定から地域を指定して下さい。\n"
        u"更新で情報をダウンロード、適用でカレンダーのスタンプに天気スタンプを反映します。"}},
      {"between apply and help", 85, 30, kRequestNone, {}},
      {"help's left edge", 90, 30, kRequestNone, {}},
      {"past help", 110, 30, kRequestNone, {}},
      {"above the row", 10, 20, kRequestNone, {}},
      {"below the row", 10, 40, kRequestNone, {}},
      // clang-format on
  };
  for (const auto& c : cases) {
    MessageRecorder messages;
    view_->MouseDown(c.x, c.y);
    EXPECT_EQ(view_->MouseUp(c.x, c.y), c.request) << c.rule;
    EXPECT_EQ(messages.texts(), c.messages) << c.rule;
  }
  EXPECT_TRUE(hooks_.downloads.empty());
}

TEST_F(WeatherWindow, ApplyStampsTheComingWeek) {
  ASSERT_TRUE(SaveForecastRecord(RecordFile(), SavedRecord()));
  platform::MemoryProfile profile;
  Loaded(profile);
  HostContext& c = *host_.ctx();
  c.changeYear = c.changeMonth = c.changeDay = c.changeExtra = 77;
  c.furtherCacheKey = 1234;
  c.furtherCacheKey2 = 99;

  messages_.Answer(platform::kIdCancel);
  view_->MouseDown(60, 30);
  EXPECT_EQ(view_->MouseUp(60, 30), kRequestNone) << "declined";
  EXPECT_FALSE(std::filesystem::exists(host_.data() / "2004"));

  messages_.Clear();
  view_->MouseDown(60, 30);
  EXPECT_EQ(view_->MouseUp(60, 30), kRequestBroadcastData);
  EXPECT_EQ(messages_.texts(), std::vector<std::u16string>{u"天気をアイコンに反映させますか？"});
  EXPECT_EQ(c.changeYear, 2004);
  EXPECT_EQ(c.changeMonth, 0);
  EXPECT_EQ(c.changeDay, 0);
  EXPECT_EQ(c.changeExtra, 0);
  EXPECT_EQ(c.changeFlags, kChangeWeatherIcons);
  EXPECT_EQ(c.furtherCacheKey, 0);
  EXPECT_EQ(c.furtherCacheKey2, 99) << "only the first key is the plugin's to clear";
  IconMonth april(host_.data());
  april.Load(2004, 4);
  EXPECT_EQ(april.Stamps(30), ClassifyWeather(u"晴"));
  IconMonth may(host_.data());
  may.Load(2004, 5);
  EXPECT_EQ(may.Stamps(6), ClassifyWeather(u"雨")) << "seven days: 30 April to 6 May";
}

TEST_F(WeatherWindow, DrawsButtonsAndText) {
  platform::MemoryProfile profile;
  Loaded(profile);
  const PixelBuffer window = host_.window();
  FillBlack(window, 0, 0, window.width, window.height);
  EXPECT_EQ(view_->Notify(kNotifyRedraw), kRequestRepaint);
  ASSERT_EQ(hooks_.drawn.size(), 1u);
  const testing::DrawnText& drawn = hooks_.drawn[0];
  EXPECT_EQ(drawn.text, kChooseAreaFirst);
  EXPECT_EQ((std::array{drawn.left, drawn.top, drawn.right, drawn.bottom}),
            (std::array{2, 23, 300, 350}));
  EXPECT_EQ(drawn.face, u"IPAGothic");
  EXPECT_EQ(drawn.height, 12);

  // The buttons row: the labels' squares multiplied over the grey backgrounds, white
  // between apply and help; the content below white; the chrome untouched.
  constexpr uint32_t kGrey = 0x808080;
  struct Probe {
    const char* what;
    int x, y;
    uint32_t colour;
  } probes[] = {
      {"update background", 4, 22, kGrey},
      {"update label", 14, 27, 0},
      {"apply background", 44, 22, kGrey},
      {"apply label", 54, 27, 0},
      {"gap", 85, 30, kWhite},
      {"help background", 93, 22, kGrey},
      {"help label", 99, 27, 0},
      {"past the row", 113, 30, kWhite},
      {"text area", 150, 200, kWhite},
      {"title bar", 50, 10, 0},
      {"left border", 0, 100, 0},
      {"bottom border", 100, 299, 0},
      {"right border", 239, 100, 0},
  };
  for (const auto& p : probes) EXPECT_EQ(PixelAt(window, p.x, p.y), p.colour) << p.what;

  for (int code : {0, 2, 4, 6, 7}) EXPECT_EQ(view_->Notify(code), kRequestNone) << code;
  for (int code : {kNotifyTick, kNotifyLiveResize}) EXPECT_EQ(view_->Notify(code), kRequestRepaint);
  EXPECT_EQ(hooks_.drawn.size(), 3u) << "codes 3 and 5 redraw the text too";
}

TEST_F(WeatherWindow, LowWindowsShowOnlyTheButtons) {
  platform::MemoryProfile profile;
  Loaded(profile);
  image_.assign(image_.size(), 0);  // the text part of the image is black now
  for (int height : {42, 43}) {
    host_.SetWindowSize(200, height);
    const PixelBuffer window = host_.window();
    FillWhite(window, 0, 0, window.width, window.height);
    view_->Redraw(false);
    const bool textShown = PixelAt(window, 150, 40) == 0;
    EXPECT_EQ(textShown, height >= 43) << height;
  }
}

TEST_F(WeatherWindow, DragsScrollTheTextWithinItsBounds) {
  platform::MemoryProfile profile;
  Loaded(profile);
  struct Case {
    const char* rule;
    int width, height;
    std::vector<std::pair<int, int>> path;  // press, moves, release
    int scrollX, scrollY;
  } cases[] = {
      // clang-format off
      {"eight pixels is still a tap", 200, 200, {{100, 100}, {92, 92}, {92, 92}}, 0, 0},
      {"nine start a drag", 200, 200, {{100, 100}, {91, 100}, {91, 100}}, 9, 0},
      {"up and left scrolls down and right", 200, 200,
       {{100, 100}, {80, 70}, {60, 50}, {50, 40}}, 50, 60},
      {"clamped at the image's far edges", 200, 200, {{100, 100}, {0, 0}, {-300, -400}}, 104, 172},
      {"clamped at the origin", 200, 200, {{100, 100}, {150, 150}, {300, 300}}, 0, 0},
      {"a window wider than the image does not scroll sideways", 320, 100,
       {{100, 100}, {80, 60}, {40, 20}}, 0, 80},
      // clang-format on
  };
  for (const auto& c : cases) {
    SetUp();
    view_->Load(profile);
    host_.SetWindowSize(c.width, c.height);
    const auto& path = c.path;
    EXPECT_EQ(view_->MouseDown(path[0].first, path[0].second), kRequestNone) << c.rule;
    for (size_t i = 1; i + 1 < path.size(); ++i) view_->MouseMove(path[i].first, path[i].second);
    view_->MouseUp(path.back().first, path.back().second);
    EXPECT_EQ(view_->scrollX(), c.scrollX) << c.rule;
    EXPECT_EQ(view_->scrollY(), c.scrollY) << c.rule;
  }
  // A tap of the update button that wobbled by eight pixels is still a tap.
  MessageRecorder messages;
  view_->MouseDown(10, 26);
  EXPECT_EQ(view_->MouseMove(18, 34), kRequestNone);
  EXPECT_EQ(view_->MouseUp(18, 34), kRequestNone);
  EXPECT_EQ(messages.texts(), std::vector<std::u16string>{u"設定を行ってください"});
  // Moves of a drag answer Repaint.
  view_->MouseDown(100, 100);
  EXPECT_EQ(view_->MouseMove(100, 110), kRequestNone) << "the move that starts the drag";
  EXPECT_EQ(view_->MouseMove(100, 90), kRequestRepaint);
  EXPECT_EQ(view_->MouseUp(100, 80), kRequestRepaint);
}

}  // namespace
}  // namespace yk::tenki
