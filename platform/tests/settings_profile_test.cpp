#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "platform/profile.h"
#include "platform/tests/qt_test_support.h"

namespace platform {
namespace {

std::filesystem::path FileOf(std::u16string_view program) {
  std::u16string name(program);
  return std::filesystem::path(getenv("XDG_CONFIG_HOME")) / "Vantor Studio" /
         (std::filesystem::path(name).string() + ".conf");
}

TEST(SettingsProfile, RoundTripThroughTheFile) {
  {
    auto p = OpenSettingsProfile(u"roundtrip");
    EXPECT_TRUE(p->WriteInt(u"setting", u"wingrid", 7));
    EXPECT_TRUE(p->WriteInt(u"setting", u"winleft3", -20));
    EXPECT_TRUE(p->WriteString(u"setting", u"font", u"ＭＳ Ｐゴシック"));
    EXPECT_TRUE(
        p->WriteString(u"setting", u"winplg0", u"/opt/yomitoki/plugin/tvk_sched_hpc2karm.plg"));
    EXPECT_TRUE(p->WriteString(u"setting", u"text", u"a, b = \"c\"; d\\e"));
    EXPECT_TRUE(p->WriteString(u"plugin_tvc_tenki", u"data", u"一行目\n二行目"));
    EXPECT_TRUE(p->WriteString(u"setting", u"empty", u""));
  }
  ASSERT_TRUE(std::filesystem::exists(FileOf(u"roundtrip"))) << "written at once";
  auto p = OpenSettingsProfile(u"roundtrip");
  EXPECT_EQ(p->GetInt(u"setting", u"wingrid", 5), 7);
  EXPECT_EQ(p->GetInt(u"setting", u"winleft3", 0), -20);
  EXPECT_EQ(p->GetString(u"setting", u"font", u""), u"ＭＳ Ｐゴシック");
  EXPECT_EQ(p->GetString(u"setting", u"winplg0", u""),
            u"/opt/yomitoki/plugin/tvk_sched_hpc2karm.plg");
  EXPECT_EQ(p->GetString(u"setting", u"text", u""), u"a, b = \"c\"; d\\e");
  EXPECT_EQ(p->GetString(u"plugin_tvc_tenki", u"data", u""), u"一行目\n二行目");
  EXPECT_EQ(p->GetString(u"setting", u"empty", u"default"), u"");
  EXPECT_EQ(p->GetInt(u"plugin_tvc_tenki", u"wingrid", 5), 5) << "sections are separate";
  EXPECT_EQ(p->GetInt(u"setting", u"font", 4), 4) << "text that is no number";
  EXPECT_TRUE(p->Remove(u"setting", u"wingrid"));
  EXPECT_EQ(OpenSettingsProfile(u"roundtrip")->GetInt(u"setting", u"wingrid", 5), 5);
}

TEST(SettingsProfile, GarbledFileGivesDefaultsAndCanBeWrittenAgain) {
  struct Case {
    const char* name;
    std::string content;
  } cases[] = {
      {"binary junk", std::string("\0\xff\xfe[[[=\x01\x02\n\x80\x81", 13)},
      {"keys without values", "[setting]\nwingrid\nkeytoday=\nfont\n"},
      {"numbers that are not", "[setting]\nwingrid=nine\nkeytoday=12abc\n"},
  };
  int n = 0;
  for (const auto& c : cases) {
    std::u16string program = u"garbled" + std::u16string(1, char16_t(u'0' + n++));
    auto file = FileOf(program);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << c.content;
    auto p = OpenSettingsProfile(program);
    EXPECT_EQ(p->GetInt(u"setting", u"wingrid", 5), 5) << c.name;
    EXPECT_EQ(p->GetInt(u"setting", u"keytoday", 0), 0) << c.name;
    EXPECT_EQ(p->GetString(u"setting", u"font", u"x"), u"x") << c.name;
    EXPECT_TRUE(p->WriteInt(u"setting", u"wingrid", 6)) << c.name;
    EXPECT_EQ(OpenSettingsProfile(program)->GetInt(u"setting", u"wingrid", 5), 6) << c.name;
  }
}

}  // namespace
}  // namespace platform
