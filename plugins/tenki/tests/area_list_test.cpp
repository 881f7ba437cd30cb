#include "plugins/tenki/area_list.h"

#include <gtest/gtest.h>

#include "platform/text_codec.h"
#include "plugins/tenki/ansi_lines.h"
#include "plugins/tenki/area_choice.h"
#include "plugins/tenki/tests/tenki_test_support.h"

namespace yk::tenki {
namespace {

using testing::Cp932;

TEST(AnsiLines, SplitsLinesAsTheLineBufferReadThem) {
  const std::string kanji = Cp932("東");  // two bytes
  struct Case {
    const char* rule;
    std::string bytes;
    std::vector<std::u16string> lines;
  } cases[] = {
      {"line feeds and CR LF", "a\nb\r\nc", {u"a", u"b", u"c"}},
      {"CR CR LF of a CR LF page written with CR LF", "a\r\r\nb\r\r\n", {u"a", u"b"}},
      {"empty lines are lines", "\n\nx\n", {u"", u"", u"x"}},
      {"a line of 2047 bytes is one piece", std::string(2047, 'x'), {std::u16string(1023, u'x')}},
      {"longer lines come in pieces", std::string(2048, 'y'), {std::u16string(1023, u'y'), u"y"}},
      {"a double-byte character is never split",
       std::string(2046, 'z') + kanji + "w",
       {std::u16string(1023, u'z'), u"東w"}},
      {"bytes that are not CP932", "\x81\x20ok\n", {u"\uFFFD ok"}},
      {"NUL bytes", std::string("a\0b", 3), {u"a\uFFFDb"}},
      {"no bytes, no lines", "", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(AnsiLines(c.bytes), c.lines) << c.rule;
}

TEST(AreaList, ReadsTheListGrammar) {
  const AreaList list =
      ParseAreaList(Cp932("# そらもよう天気の地域一覧\r\n"
                          "orphan.html 迷子\r\n"
                          "baseurl http://www.soramoyo.example.jp/yoho/  \r\n"
                          "early.html 先走り\r\n"
                          "category:関東\r\n"
                          "tokyo.html 東京\r\n"
                          "yokohama.html 横浜 みなとみらい\r\n"
                          "\r\n"
                          "category:北海道:道央\r\n"
                          "sapporo.html 札幌\r\n"
                          "not a city line\r\n"));
  EXPECT_EQ(list.baseUrl, u"http://www.soramoyo.example.jp/yoho/") << "trailing blanks dropped";
  ASSERT_EQ(list.areas.size(), 2u);
  EXPECT_EQ(list.areas[0].name, u"関東");
  EXPECT_EQ(list.areas[0].cities,
            (std::vector<City>{{u"tokyo.html", u"東京"}, {u"yokohama.html", u"横浜 みなとみらい"}}))
      << "cities before the first area are ignored; the name runs to the line's end";
  EXPECT_EQ(list.areas[1].name, u"北海道:道央") << "the name follows the first colon";
  EXPECT_EQ(list.areas[1].cities, (std::vector<City>{{u"sapporo.html", u"札幌"}}));
  EXPECT_EQ(CityLabel(list.areas[1], list.areas[1].cities[0]), u"北海道:道央：札幌");
  EXPECT_EQ(CityAddress(list, list.areas[0].cities[0]),
            u"http://www.soramoyo.example.jp/yoho/tokyo.html");
}

TEST(AreaList, KeepsTenAreasOfThirtyCities) {
  std::string text = "baseurl http://x/\n";
  for (int a = 1; a <= 11; ++a) {
    // Appended piece by piece: GCC 12 at -O3 misreads chains of temporaries as overlapping.
    text.append("category:area").append(std::to_string(a)).append("\n");
    for (int c = 1; c <= 31; ++c) {
      const std::string n = std::to_string(c);
      text.append("c").append(n).append(".html city").append(n).append("\n");
    }
  }
  const AreaList list = ParseAreaList(text);
  ASSERT_EQ(list.areas.size(), kMaxAreas) << "the 11th area is ignored";
  for (const Area& area : list.areas) {
    ASSERT_EQ(area.cities.size(), kMaxCitiesPerArea) << "the 31st city is ignored";
    EXPECT_EQ(area.cities.back().name, u"city30");
  }
  EXPECT_EQ(list.areas.back().name, u"area10") << "the 11th area's cities do not join the 10th";
}

TEST(AreaList, MissingFileIsReported) {
  testing::TenkiHost host;
  EXPECT_FALSE(ReadAreaList(host.plugin() / "tvk_tenki.lst"));
  EXPECT_FALSE(ReadAreaList(host.plugin())) << "a folder is not a list";
  testing::WriteFile(host.plugin() / "tvk_tenki.lst", "category:x\n");
  auto list = ReadAreaList(host.plugin() / "tvk_tenki.lst");
  ASSERT_TRUE(list);
  EXPECT_TRUE(list->areas.empty()) << "nothing counts before the base address";
}

// The list the program ships: every area and city usable.
TEST(AreaList, ShippedListIsComplete) {
  auto list = ReadAreaList(std::filesystem::path(YK_ASSETS) / "plugin" / "tvk_tenki.lst");
  ASSERT_TRUE(list);
  EXPECT_EQ(list->baseUrl.substr(0, 7), u"http://");
  EXPECT_EQ(list->areas.size(), kMaxAreas);
  for (const Area& area : list->areas) {
    EXPECT_FALSE(area.cities.empty()) << platform::Utf16ToUtf8(area.name);
    for (const City& city : area.cities) {
      EXPECT_FALSE(city.name.empty());
      EXPECT_EQ(city.page.substr(city.page.size() - 5), u".html")
          << platform::Utf16ToUtf8(city.name);
      EXPECT_EQ(city.name.find(u'\uFFFD'), std::u16string::npos) << "converted cleanly";
    }
  }
}

TEST(AreaChoice, SelectsAndLabels) {
  AreaList list;
  list.baseUrl = u"http://h/p/";
  list.areas = {{u"関東", {{u"tokyo.html", u"東京"}, {u"chiba.html", u"千葉"}}},
                {u"離島", {}},
                {u"九州", {{u"fukuoka.html", u"福岡"}}}};
  struct Case {
    const char* rule;
    int startArea, startCity;
    int selectArea;  // -2 = no change
    int area, city;
    std::u16string label, url;
  } cases[] = {
      {"the stored choice", 0, 1, -2, 0, 1, u"関東：千葉", u"http://h/p/chiba.html"},
      {"a city past the list selects none", 0, 5, -2, 0, -1, u"", u""},
      {"an area past the list selects none", 7, 0, -2, -1, -1, u"", u""},
      {"another area selects its first city", 0, 1, 2, 2, 0, u"九州：福岡",
       u"http://h/p/fukuoka.html"},
      {"an area without cities", 0, 0, 1, 1, -1, u"", u""},
  };
  for (const auto& c : cases) {
    AreaChoice choice;
    choice.Use(list);
    choice.Start(c.startArea, c.startCity);
    if (c.selectArea != -2) choice.SelectArea(c.selectArea);
    EXPECT_EQ(choice.area(), c.area) << c.rule;
    EXPECT_EQ(choice.city(), c.city) << c.rule;
    EXPECT_EQ(choice.label(), c.label) << c.rule;
    EXPECT_EQ(choice.url(), c.url) << c.rule;
  }
  AreaChoice choice;
  choice.Use(list);
  choice.Start(0, 0);
  EXPECT_EQ(choice.AreaNames(), (std::vector<std::u16string>{u"関東", u"離島", u"九州"}));
  EXPECT_EQ(choice.CityNames(), (std::vector<std::u16string>{u"東京", u"千葉"}));
}

}  // namespace
}  // namespace yk::tenki
