#include "plugins/tenki/forecast_page.h"

#include <gtest/gtest.h>

#include "platform/text_codec.h"
#include "plugins/tenki/ansi_lines.h"
#include "plugins/tenki/forecast_text.h"
#include "plugins/tenki/tests/tenki_test_support.h"

namespace yk::tenki {
namespace {

using testing::Cp932;
using testing::FullPageRecord;
using testing::PageBytes;

constexpr char kSun[] = "<IMG src=\"../shere_img/w_sun.gif\" width=\"16\" height=\"16\">";
constexpr char kRain[] = "<IMG src=\"../shere_img/w_rain.gif\" width=\"16\" height=\"16\">";
constexpr char kCloud[] = "<IMG src=\"../shere_img/w_clowd.gif\" width=\"16\" height=\"16\">";
constexpr char kSnow[] = "<IMG src=\"../shere_img/w_snow.gif\" width=\"16\" height=\"16\">";
constexpr char kTodayCell[] = "<TD bgcolor=\"#FFFFFF\" height=\"40\" align=\"center\">";

// Today's and tomorrow's blocks without rain texts, up to where the weekly table may start.
std::string Preamble() {
  std::string page;
  for (const char* day : {"今日(1日)\n", "明日(2日)\n"}) {
    page += day + std::string(kTodayCell) + "<B>晴</B>\n";
    for (int i = 0; i < 8; ++i) page += "filler\n";
  }
  return page;
}

PageScan Scan(const std::string& cp932) {
  return ScanForecastPage(AnsiLines(cp932), 2004, 5);
}

// The page's lines without those holding `marker` (UTF-8).
std::string Without(const std::string& page, const std::string& marker) {
  const std::string cp932Marker = Cp932(marker);
  std::string out;
  size_t at = 0;
  while (at < page.size()) {
    size_t end = page.find('\n', at);
    end = end == std::string::npos ? page.size() : end + 1;
    const std::string line = page.substr(at, end - at);
    if (line.find(cp932Marker) == std::string::npos) out += line;
    at = end;
  }
  return out;
}

TEST(ForecastPage, ReadsAFullPage) {
  const PageScan scan = Scan(PageBytes("forecast_full.html"));
  EXPECT_TRUE(scan.foundToday);
  const ForecastRecord expected = FullPageRecord();
  for (int e = 0; e < kForecastDays; ++e)
    EXPECT_EQ(scan.record.days[size_t(e)], expected.days[size_t(e)]) << "entry " << e;
  EXPECT_EQ(scan.record.rainTexts, expected.rainTexts) << "tomorrow's texts continue the list";
  EXPECT_EQ(scan.record, expected);
}

TEST(ForecastPage, WithoutTheDayAfterTomorrowTheTableStartsAtEntryTwo) {
  const PageScan scan = Scan(PageBytes("forecast_no_day_after.html"));
  const auto& d = scan.record.days;
  EXPECT_EQ(d[1], (ForecastDay{u"曇のち雨", 8, 99, 99, 0}));
  EXPECT_EQ(d[2], (ForecastDay{u"雨", 9, 12, 6, 80}));
  EXPECT_EQ(d[3], (ForecastDay{u"曇時々晴", 10, 15, 7, 30}));
  EXPECT_EQ(d[5], (ForecastDay{u"雪", 12, 5, -2, 50})) << "below freezing";
  EXPECT_EQ(d[6], (ForecastDay{u"曇", 13, 8, 1, 40}));
}

// Markers missing from the page leave their values unknown; later phases go on from where
// the search for the missing one stopped.
TEST(ForecastPage, MissingMarkersLeaveValuesUnknown) {
  const std::string full = PageBytes("forecast_full.html");
  ForecastDay unknownTemperatures{u"", 0, 99, 99, 0};
  {
    const PageScan scan = Scan(Without(full, "今日("));
    EXPECT_FALSE(scan.foundToday) << "without today's line the page is no forecast";
    for (const ForecastDay& day : scan.record.days) EXPECT_EQ(day.day, 0);
  }
  {
    std::string page = full;
    page.replace(page.find(Cp932("今日(7日)")), Cp932("今日(7日)").size(), Cp932("今日(７日"));
    const PageScan scan = Scan(page);
    EXPECT_TRUE(scan.foundToday);
    EXPECT_EQ(scan.record.days[0].day, 0) << "no 日) after the marker";
    EXPECT_EQ(scan.record.firstDay, 0);
    EXPECT_EQ(scan.record.days[0].text, u"晴時々曇") << "the weather cell still counts";
  }
  {
    const PageScan scan = Scan(Without(full, "明日("));
    EXPECT_EQ(scan.record.days[0].text, u"晴時々曇");
    EXPECT_EQ(scan.record.days[1], unknownTemperatures) << "the search ran to the page's end";
    EXPECT_EQ(scan.record.days[6].day, 0);
  }
  {
    const PageScan scan = Scan(Without(full, kTodayCell));
    EXPECT_EQ(scan.record.days[0].day, 7);
    EXPECT_EQ(scan.record.days[0].text, u"") << "no weather cell: the rest is unknown";
  }
  {
    // A days row of three cells: the rows after it are not read.
    std::string page = full;
    const std::string cell =
        Cp932("<TD bgcolor=\"#CCCCCC\" width=\"70\" align=\"center\">13(木)</TD>");
    page.erase(page.find(cell), cell.size());
    const PageScan scan = Scan(page);
    EXPECT_EQ(scan.record.days[5].day, 12);
    EXPECT_EQ(scan.record.days[6].day, 0);
    EXPECT_EQ(scan.record.days[3], (ForecastDay{u"", 10, 99, 99, 0})) << "weather row not read";
  }
}

TEST(ForecastPage, TodayMarkersInOrderOfPreference) {
  struct Case {
    const char* rule;
    const char* line;
    int day;
  } cases[] = {
      {"today", "<B>今日(7日)の天気</B>", 7},
      {"tonight", "<B>今夜(7日)の天気</B>", 7},
      {"this morning", "<B>今朝(7日)の天気</B>", 7},
      {"today preferred", "今朝(6日) 今日(7日)", 7},
      {"today without 日) after it gives way to tonight", "今夜(8日) 今日(7", 8},
      {"the number runs up to the first 日) after the marker", "今日(7 今夜(8日)", 7},
      {"no digits", "今日(X日)", 0},
      {"out of the month", "今日(32日)", 0},
      {"a huge number", "今日(99999999999999999999日)", 0},
      {"blanks before the digits", "今日( 7日)", 7},
  };
  for (const auto& c : cases) {
    const PageScan scan = Scan(Cp932(std::string(c.line) + "\n"));
    EXPECT_TRUE(scan.foundToday) << c.rule;
    EXPECT_EQ(scan.record.days[0].day, c.day) << c.rule;
    EXPECT_EQ(scan.record.firstDay, c.day) << c.rule;
  }
}

TEST(ForecastPage, TextsAreCutToTheirFields) {
  std::string page = "今日(7日)\n";
  page += std::string(kTodayCell) + "<B>" + kSun + "のち" + kCloud + "、夜遅くから" + kRain +
          "で所により" + kSnow + "</B>\n";
  page += "a\nb\nc\n";
  page += "00-06時 10%　長い説明の続く行<br>\n";
  page += "06-12時 20%<br>\n12-18時 -- %<br>\n18-24時 30%\n24-30時 40%<br>\n";
  page += "明日(8日)\n" + std::string(kTodayCell) + "<B>晴</B>\na\nb\nc\n";
  for (int i = 0; i < 5; ++i) page += std::to_string(i) + "時 " + std::to_string(i) + "%<br>\n";
  const PageScan scan = Scan(Cp932(page));
  EXPECT_EQ(scan.record.days[0].text, u"晴のち曇、夜遅くか") << "nine characters";
  EXPECT_EQ(scan.record.rainTexts, (std::vector<std::u16string>{
                                       u"00-06時 10%　長い説", u"06-12時 20%", u"18-24時 30%",
                                       u"24-30時 40%", u"0時 0%", u"1時 1%", u"2時 2%", u"3時 3%"}))
      << "fourteen characters each, none with --, at most eight";
}

TEST(ForecastPage, WeeklyNumbersStayInRange) {
  auto row = [](const char* colour, std::initializer_list<const char*> values) {
    std::string line;
    for (const char* v : values)
      line += std::string("<TD bgcolor=\"#") + colour + "\" width=\"70\" align=\"center\">" + v +
              "</TD>";
    return line + "\n";
  };
  std::string page = Preamble() + "天気予報テーブル\n";
  page += row("CCCCCC", {"2(火)", "3(水)", "44(木)", "5(金)", "6(土)", "7(日)"});
  page += row("FFFFFF", {"晴", "曇", "雨", "雪", "晴", "晴"});
  page += row("FFFFFF", {"10%", "150%", "-5%", "--%", "30%", "40%"});
  page += row("FFCC99", {"20℃", "999℃", "--℃", "-61℃", "60℃", "-3℃"});
  page += row("FFCC99", {"10℃"});
  const auto& d = Scan(Cp932(page)).record.days;
  EXPECT_EQ(d[2], (ForecastDay{u"晴", 2, 20, 10, 10}));
  EXPECT_EQ(d[3], (ForecastDay{u"曇", 3, 99, 99, 100}))
      << "absurd temperature unknown, rain clamped";
  EXPECT_EQ(d[4], (ForecastDay{u"雨", 0, 99, 99, 0})) << "day 44 unknown";
  EXPECT_EQ(d[5], (ForecastDay{u"雪", 5, 99, 99, 0})) << "no digits: unknown, not zero";
  EXPECT_EQ(d[6], (ForecastDay{u"晴", 6, 60, 99, 30})) << "five cells fill entries 2..6 only";
}

TEST(ForecastPage, HostileLinesNeverReadPastTheirEnd) {
  const std::string cell = "<TD bgcolor=\"#CCCCCC\" width=\"70\" align=\"center\">";
  const std::string cases[] = {
      "今日(",  // marker at the very end
      "今日(7日)\n" + std::string(kTodayCell) + "<B>never closed\n",
      "今日(7日)\n" + std::string(kTodayCell) + "</B>closed first<B>\n",
      Preamble() + "天気予報テーブル\n" + cell + "1(" + cell + "2(" + cell,  // no </TD> at all
      Preamble() + "天気予報テーブル\n" + cell + "(</TD>" + cell + "(</TD>",
      std::string(100000, '<'),
      "今日(1日)\n" + std::string(5000, 'x') + kTodayCell + "\n",
  };
  for (const std::string& page : cases) {
    const PageScan scan = Scan(Cp932(page));
    EXPECT_LE(scan.record.days[0].text.size(), kWeatherTextUnits);
  }
}

TEST(ForecastPage, WeatherPicturesBecomeWords) {
  struct Case {
    std::string cell;
    std::u16string words;
  } cases[] = {
      {std::string(kSun) + "時々" + kCloud, u"晴時々曇"},
      {std::string(kSnow) + kSnow, u"雪雪"},
      {std::string(kRain) + "<IMG src=\"../shere_img/w_fog.gif\" width=\"16\" height=\"16\">",
       u"雨<IMG src=\"../shere_img/w_fog.gif\" width=\"16\" height=\"16\">"},
      {"晴れ", u"晴れ"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(WeatherWords(platform::Utf8ToUtf16(c.cell)), c.words) << c.cell;
}

TEST(ForecastText, LineByLine) {
  EXPECT_EQ(ForecastText(FullPageRecord(), u"関東：東京"),
            u"\n"
            u"関東：東京5月7～13日の天気予報\n"
            u"　今日の予報：晴時々曇\n"
            u"　06-12時 10%\n"
            u"　12-18時 20%\n"
            u"　18-24時 30%\n"
            u"　00-06時 30%\n"
            u"　06-12時 50%\n"
            u"　12-18時 60%\n"
            u"　18-24時 40%\n"
            u"\n"
            u"　8日：曇のち雨\n"
            u"\n"
            u"　9日：雨\n"
            u"　　　　降水確率 80%\n"
            u"　10日：曇時々晴\n"
            u"　　　　最高/最低気温 24 / 15度 降水確率 30%\n"
            u"　11日：晴\n"
            u"　　　　最高/最低気温 26 / 16度 降水確率 10%\n"
            u"　12日：雨一時曇\n"
            u"　　　　最高/最低気温 21 / 14度 降水確率 60%\n"
            u"　13日：曇後雪\n"
            u"　　　　最高/最低気温 18 / 9度 降水確率 70%\n"
            u"\n");
  ForecastRecord oneUnknown = FullPageRecord();
  oneUnknown.days[4].minimum = kUnknownTemperature;
  oneUnknown.rainTexts.clear();
  const std::u16string text = ForecastText(oneUnknown, u"");
  EXPECT_NE(text.find(u"　11日：晴\n　　　　降水確率 10%\n"), std::u16string::npos)
      << "either temperature unknown: rain only";
  EXPECT_NE(text.find(u"今日の予報：晴時々曇\n\n　8日"), std::u16string::npos);
}

}  // namespace
}  // namespace yk::tenki
