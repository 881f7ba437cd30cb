// The holiday files the organizer ships (assets/holidays, made by make_holidays.js), read
// through the organizer's own reader and lookup: dates across the changes of the holiday
// law, the names of substitute and citizens' holidays, and the shape of every year's file.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "common/date_util.h"
#include "common/holiday.h"
#include "common/utf16_line_file.h"

namespace yk {
namespace {

const std::filesystem::path kAssets = YK_HOLIDAY_ASSETS;

struct SpotDate {
  const char* rule;
  int year, month, day;
  std::u16string_view name;  // empty: not a holiday
};

const SpotDate kSpotDates[] = {
    {"substitute holiday after 1973", 1978, 1, 2, u"振替休日"},
    {"substitute holiday before the citizens' holiday", 1987, 5, 4, u"振替休日"},
    {"citizens' holiday from 1988", 1988, 5, 4, u"国民の休日"},
    {"citizens' holiday until 2006", 2006, 5, 4, u"国民の休日"},
    {"5/4 is みどりの日 from 2007", 2007, 5, 4, u"みどりの日"},
    {"4/29 is 昭和の日 from 2007", 2007, 4, 29, u"昭和の日"},
    {"4/29 was the emperor's birthday until 1988", 1988, 4, 29, u"天皇誕生日"},
    {"4/29 was みどりの日 from 1989", 1989, 4, 29, u"みどりの日"},
    {"substitute after 5/5 moves past 5/4 from 2007", 2008, 5, 6, u"振替休日"},
    {"citizens' holiday in September", 2009, 9, 22, u"国民の休日"},
    {"citizens' holiday in September 2015", 2015, 9, 22, u"国民の休日"},
    {"citizens' holiday in September 2032", 2032, 9, 21, u"国民の休日"},
    {"成人の日 on the 15th until 1999", 1999, 1, 15, u"成人の日"},
    {"Happy Monday 2000: 成人の日", 2000, 1, 10, u"成人の日"},
    {"Happy Monday 2000: the 15th no more", 2000, 1, 15, u""},
    {"Happy Monday 2000: 体育の日", 2000, 10, 9, u"体育の日"},
    {"海の日 on 7/20 until 2002", 2002, 7, 20, u"海の日"},
    {"Happy Monday 2003: 海の日", 2003, 7, 21, u"海の日"},
    {"Happy Monday 2003: 7/20 no more", 2003, 7, 20, u""},
    {"Happy Monday 2003: 敬老の日", 2004, 9, 20, u"敬老の日"},
    {"one-off 1989", 1989, 2, 24, u"大喪の礼"},
    {"one-off 1990", 1990, 11, 12, u"即位礼正殿の儀"},
    {"one-off 1993", 1993, 6, 9, u"結婚の儀"},
    {"one-off 2019: accession", 2019, 5, 1, u"即位の日"},
    {"2019: the day before is a citizens' holiday", 2019, 4, 30, u"国民の休日"},
    {"2019: the day after is a citizens' holiday", 2019, 5, 2, u"国民の休日"},
    {"one-off 2019: enthronement", 2019, 10, 22, u"即位礼正殿の儀"},
    {"2019 has no emperor's birthday", 2019, 12, 23, u""},
    {"emperor's birthday from 2020", 2020, 2, 23, u"天皇誕生日"},
    {"2020 moves: 海の日", 2020, 7, 23, u"海の日"},
    {"2020 moves: スポーツの日", 2020, 7, 24, u"スポーツの日"},
    {"2020 moves: 山の日", 2020, 8, 10, u"山の日"},
    {"2020 moves: no holiday in October", 2020, 10, 12, u""},
    {"2021 moves: 海の日", 2021, 7, 22, u"海の日"},
    {"2021 moves: スポーツの日", 2021, 7, 23, u"スポーツの日"},
    {"2021 moves: 山の日", 2021, 8, 8, u"山の日"},
    {"2021 moves: its substitute", 2021, 8, 9, u"振替休日"},
    {"2021 moves: no holiday in October", 2021, 10, 11, u""},
    {"vernal equinox 1975", 1975, 3, 21, u"春分の日"},
    {"vernal equinox 1976", 1976, 3, 20, u"春分の日"},
    {"vernal equinox 2012", 2012, 3, 20, u"春分の日"},
    {"autumnal equinox 2012", 2012, 9, 22, u"秋分の日"},
    {"vernal equinox 2036", 2036, 3, 20, u"春分の日"},
    {"autumnal equinox 2036", 2036, 9, 22, u"秋分の日"},
    {"an ordinary day", 1985, 6, 3, u""},
};

TEST(HolidayData, SpotDatesAcrossTheChangesOfTheLaw) {
  auto table = std::make_unique<HolidayTable>();
  for (const SpotDate& spot : kSpotDates) {
    SCOPED_TRACE(spot.rule);
    ASSERT_GT(ReadHolidays(spot.year, kAssets, table.get(), /*force=*/true), 0);
    const HolidayEntry* found =
        FindHoliday(*table, spot.month, spot.day, WeekdayOf(spot.year, spot.month, spot.day));
    if (spot.name.empty()) {
      EXPECT_EQ(found, nullptr);
      continue;
    }
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(HolidayName(*found), spot.name);
    EXPECT_EQ(found->colour, kHolidayRed);
  }
}

// Every year of the organizer has its file, every line of it is a red one-day entry the
// reader takes, in date order, and none is a bare label of the dataset.
TEST(HolidayData, EveryYearIsOneRedDayALineInDateOrder) {
  auto table = std::make_unique<HolidayTable>();
  for (int year = kFirstYear; year <= kLastYear; ++year) {
    SCOPED_TRACE(year);
    const auto lines = ReadUtf16Lines(HolidayFilePath(kAssets, year));
    ASSERT_TRUE(lines.has_value());
    const int count = ReadHolidays(year, kAssets, table.get(), /*force=*/true);
    EXPECT_EQ(count, int(lines->size())) << "a line the reader skips";
    EXPECT_GE(count, 12);  // twelve national holidays before 1996
    int previous = 0;
    for (int i = 0; i < count; ++i) {
      const HolidayEntry& e = table->entries[i];
      EXPECT_EQ(WriteHolidayLine(e), (*lines)[size_t(i)] + u"\r\n") << "not the writer's form";
      EXPECT_EQ(e.startDay, 0);
      EXPECT_EQ(e.weekday, -1);
      EXPECT_EQ(e.colour, kHolidayRed);
      EXPECT_TRUE(IsValidDate(year, e.month, e.day));
      EXPECT_GT(e.month * 100 + e.day, previous);
      previous = e.month * 100 + e.day;
      const std::u16string_view name = HolidayName(e);
      EXPECT_NE(name, u"休日");
      EXPECT_EQ(name.find(u'（'), std::u16string_view::npos);
      EXPECT_TRUE(name == u"振替休日" || name.find(u"振替") == std::u16string_view::npos);
    }
  }
}

}  // namespace
}  // namespace yk
