// Loads the built plugin the way the host does and drives it through its exports.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <bit>
#include <cstring>

#include "common/bitmap_ops.h"
#include "common/plugin_interface.h"
#include "platform/bmp_file.h"
#include "platform/clock.h"
#include "platform/profile.h"
#include "platform/testing/local_http_server.h"
#include "platform/testing/message_recorder.h"
#include "platform/text_codec.h"
#include "plugins/tenki/forecast_record.h"
#include "plugins/tenki/tests/modal_watchdog.h"
#include "plugins/tenki/tests/tenki_test_support.h"

namespace yk::tenki {
namespace {

using platform::testing::HttpReply;
using platform::testing::LocalHttpServer;
using platform::testing::MessageRecorder;

constexpr char16_t kSection[] = u"plugin_tvc_tenki";

class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host_.LoadPlugin("YK_TENKI_PLUGIN")) << host_.error();
    std::vector<uint8_t> labels(120 * 20 * 3, 255);
    const auto file = platform::EncodeBmp24(120, 20, labels.data());
    testing::WriteFile(host_.plugin() / "tvk_tenki.dat",
                       {reinterpret_cast<const char*>(file.data()), file.size()});
    profile_ = host_.RegisterProfile();
    platform::SetClockOverride(platform::LocalTime{2004, 5, 7, 9, 0, 0, 5});
  }
  void TearDown() override { platform::SetClockOverride(std::nullopt); }

  template <typename F>
  F Export(const char* name) {
    return host_.Export<F>(name);
  }
  int32_t Init() { return Export<plg_init_fn>("plg_init")(host_.ctx(), kPluginInitReserved, 0); }
  int32_t Tap(int x, int y) {
    Export<plg_mouse_fn>("plg_mouse_down")(x, y);
    return Export<plg_mouse_fn>("plg_mouse_up")(x, y);
  }
  // Dark pixels of the window's text area.
  int DarkTextPixels() {
    const PixelBuffer window = host_.window();
    int dark = 0;
    for (int y = 42; y < 200; ++y)
      for (int x = 4; x < 230; ++x) dark += (testing::PixelAt(window, x, y) & 0xFF) < 0x60;
    return dark;
  }

  testing::TenkiHost host_;
  MessageRecorder messages_;
  platform::MemoryProfile* profile_ = nullptr;
};

TEST_F(PluginTest, IdentityAndExports) {
  EXPECT_EQ(Export<plg_valid_fn>("plg_valid")(), 0);
  EXPECT_EQ(std::u16string(Export<plg_info_fn>("plg_info")()), u"天気予報");
  EXPECT_EQ(std::bit_cast<uint32_t>(Export<plg_version_fn>("plg_version")()), 0x3F8147AEu);
  EXPECT_NE(dlsym(host_.module(), "plg_config"), nullptr);
  for (const char* absent : {"plg_keyconfig", "plg_key_down", "plg_key_up", "plg_mouse_doubledown"})
    EXPECT_EQ(dlsym(host_.module(), absent), nullptr) << absent;
}

TEST_F(PluginTest, RefusesToStartWithoutItsButtons) {
  std::filesystem::remove(host_.plugin() / "tvk_tenki.dat");
  EXPECT_EQ(Init(), 0);
  EXPECT_EQ(messages_.texts(),
            std::vector<std::u16string>{u"dataファイルの読み込みに失敗しました"});
  EXPECT_EQ(Export<plg_notify_fn>("plg_notify")(kNotifyRedraw), 0) << "no instance: no-op";
}

TEST_F(PluginTest, DrawsTheHintIntoItsContentAreaOnly) {
  ASSERT_EQ(Init(), 1);
  const PixelBuffer window = host_.window();
  FillBlack(window, 0, 0, window.width, window.height);
  std::vector<uint8_t> before(window.bits, window.bits + window.bytes);
  EXPECT_EQ(Export<plg_notify_fn>("plg_notify")(kNotifyRedraw), kRequestRepaint);
  int changedOutside = 0;
  for (int y = 0; y < window.height; ++y)
    for (int x = 0; x < window.width; ++x) {
      const size_t at = (size_t(x) + size_t(window.width) * size_t(window.height - 1 - y)) * 3;
      const bool inside = x >= 2 && x < 238 && y >= 20 && y < 298;
      if (!inside) changedOutside += std::memcmp(window.bits + at, before.data() + at, 3) != 0;
    }
  EXPECT_EQ(changedOutside, 0);
  EXPECT_GT(DarkTextPixels(), 20) << "the hint text is drawn";
  Export<plg_destroy_fn>("plg_destroy")();
  EXPECT_EQ(profile_->GetString(kSection, u"data", u""),
            u"メニューのプラグイン／設定から地域を指定して下さい。");
}

// 更新 runs the download dialog against a server, parses the page and shows the forecast;
// after a restart the forecast comes back from its file.
TEST_F(PluginTest, UpdateShowsTheForecastAndKeepsIt) {
  LocalHttpServer server({HttpReply::Page(testing::PageBytes("forecast_full.html"), 200, 500)});
  profile_->WriteString(kSection, u"area", u"関東：東京");
  profile_->WriteString(kSection, u"url",
                        platform::Utf8ToUtf16(server.Address("/yoho/tokyo.html")));
  ASSERT_EQ(Init(), 1);
  Export<plg_notify_fn>("plg_notify")(kNotifyRedraw);
  const int hint = DarkTextPixels();

  {
    testing::ModalWatchdog watchdog;
    EXPECT_EQ(Tap(20, 30), kRequestRepaint);
    EXPECT_FALSE(watchdog.fired()) << "the download dialog did not close by itself";
  }
  EXPECT_TRUE(messages_.texts().empty());
  const auto record = LoadForecastRecord(host_.plugin() / "tvk_tenki.tdt");
  ASSERT_TRUE(record);
  EXPECT_EQ(record->days[0].text, u"晴時々曇");
  const int forecast = DarkTextPixels();
  EXPECT_GT(forecast, hint * 2) << "many lines of forecast instead of one hint";

  Export<plg_destroy_fn>("plg_destroy")();
  EXPECT_EQ(profile_->GetString(kSection, u"data", u"?"), u"");
  ASSERT_EQ(Init(), 1);
  Export<plg_notify_fn>("plg_notify")(kNotifyRedraw);
  EXPECT_EQ(DarkTextPixels(), forecast) << "the same forecast after a restart";

  // 適用 writes the stamps and asks every window to look again.
  EXPECT_EQ(Tap(60, 30), kRequestBroadcastData);
  EXPECT_TRUE(std::filesystem::exists(host_.data() / "2004" / "5" / "icons.dat"));
  EXPECT_EQ(host_.ctx()->changeFlags, kChangeWeatherIcons);
  Export<plg_destroy_fn>("plg_destroy")();
}

}  // namespace
}  // namespace yk::tenki

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
