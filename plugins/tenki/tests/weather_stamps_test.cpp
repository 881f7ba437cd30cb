#include "plugins/tenki/weather_stamps.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "common/atomic_file.h"
#include "platform/text_codec.h"
#include "plugins/tenki/tests/tenki_test_support.h"

namespace yk::tenki {
namespace {

using testing::ReadFile;
using testing::WriteFile;

// Integers 75..84 by name.
DayStamps Stamps(std::initializer_list<int> set) {
  DayStamps s{};
  for (int integer : set) s[size_t(integer - kFirstStampInteger)] = 1;
  return s;
}

TEST(WeatherStamps, ClassifiesTheForecastText) {
  struct Case {
    std::u16string text;
    DayStamps stamps;
  } cases[] = {
      {u"晴時々曇", Stamps({75, 80, 83})},
      {u"晴のち雨", Stamps({75, 82})},  // no 後: no transition flag
      {u"雨", Stamps({76})},
      {u"曇", Stamps({77})},
      {u"雪", Stamps({78})},
      {u"晴曇", Stamps({75})},  // under three characters: first weather only
      {u"曇後雪", Stamps({77, 79, 84})},
      {u"雨一時曇", Stamps({76, 80, 83})},
      {u"曇後時々雨", Stamps({77, 79, 82})},  // 後 wins over 時々
      {u"晴れ", Stamps({75})},
      {u"晴れ後曇り", Stamps({75, 79, 83})},
      {u"", Stamps({})},
      {u"不明", Stamps({})},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ClassifyWeather(c.text), c.stamps) << platform::Utf16ToUtf8(c.text);
}

class StampWalk : public ::testing::Test {
 protected:
  // A record of seven days starting on year/month/first with the given texts.
  static ForecastRecord Record(int year, int month, int first,
                               std::initializer_list<const char16_t*> texts) {
    ForecastRecord r;
    r.year = year;
    r.month = month;
    r.firstDay = first;
    r.valid = true;
    size_t i = 0;
    for (const char16_t* text : texts) r.days[i++].text = text;
    return r;
  }
  std::filesystem::path IconFile(int year, int month) const {
    return host_.data() / std::to_string(year) / std::to_string(month) / "icons.dat";
  }
  // Fills an icon file with noise, as another plugin's data.
  std::string Noise(int year, int month, size_t size = kIconFileBytes) {
    std::string bytes(size, '\0');
    std::mt19937 random(uint32_t(year * 100 + month));
    for (char& b : bytes) b = char(random());
    WriteFile(IconFile(year, month), bytes);
    return bytes;
  }
  DayStamps StampsOf(int year, int month, int day) const {
    IconMonth icons(host_.data());
    icons.Load(year, month);
    return icons.Stamps(day);
  }
  StampOutcome Walk(const ForecastRecord& record) {
    return StampForecast(record, host_.data(), [this] { ++saveFailures_; });
  }

  testing::TenkiHost host_;
  int saveFailures_ = 0;
};

// Every byte outside 300..339 of each record is carried over.
void ExpectOnlyStampsChanged(const std::string& before, const std::string& after) {
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < after.size(); ++i) {
    const size_t inRecord = i % kIconDayBytes;
    if (i < kIconFileBytes && inRecord >= 300 && inRecord < 340) continue;
    ASSERT_EQ(after[i], before[i]) << "byte " << i;
  }
}

TEST_F(StampWalk, AcrossTheEndOfFebruary) {
  const std::string february = Noise(2005, 2);
  const std::string march = Noise(2005, 3);
  const auto outcome =
      Walk(Record(2005, 2, 28, {u"晴時々曇", u"晴のち雨", u"雨", u"曇", u"雪", u"晴", u"曇後雨"}));
  EXPECT_TRUE(outcome.stamped);
  EXPECT_EQ(outcome.lastYear, 2005);
  EXPECT_EQ(outcome.lastMonth, 3);
  EXPECT_EQ(StampsOf(2005, 2, 28), Stamps({75, 80, 83}));
  EXPECT_EQ(StampsOf(2005, 3, 1), Stamps({75, 82}));
  EXPECT_EQ(StampsOf(2005, 3, 2), Stamps({76}));
  EXPECT_EQ(StampsOf(2005, 3, 6), Stamps({77, 79, 82}));
  const std::string marchAfter = ReadFile(IconFile(2005, 3));
  EXPECT_EQ(marchAfter.substr(6 * kIconDayBytes + 300, 40),
            march.substr(6 * kIconDayBytes + 300, 40))
      << "7 March keeps its stamps";
  ExpectOnlyStampsChanged(february, ReadFile(IconFile(2005, 2)));
  ExpectOnlyStampsChanged(march, marchAfter);
  EXPECT_EQ(saveFailures_, 0);
}

TEST_F(StampWalk, RollsIntoTheNextYearThrough2036) {
  struct Case {
    int year, first;
    int lastYear;
    int januaryDays;  // days stamped in January of the next year
  } cases[] = {{2004, 28, 2005, 3}, {2030, 27, 2031, 2}, {2035, 31, 2036, 6}};
  for (const auto& c : cases) {
    const auto outcome =
        Walk(Record(c.year, 12, c.first, {u"雪", u"雪", u"雪", u"雪", u"雪", u"雪", u"雪"}));
    EXPECT_EQ(outcome.lastYear, c.lastYear) << c.year;
    for (int day = c.first; day <= 31; ++day)
      EXPECT_EQ(StampsOf(c.year, 12, day), Stamps({78})) << c.year;
    for (int day = 1; day <= c.januaryDays; ++day)
      EXPECT_EQ(StampsOf(c.year + 1, 1, day), Stamps({78})) << c.year << " January " << day;
    EXPECT_EQ(StampsOf(c.year + 1, 1, c.januaryDays + 1), DayStamps{}) << c.year;
  }
  // The last December the organizer offers: the days after it are left alone, and 31
  // December is not written over again.
  const auto last = Walk(Record(2036, 12, 29, {u"晴", u"曇", u"雨", u"雪", u"雪", u"雪", u"雪"}));
  EXPECT_TRUE(last.stamped);
  EXPECT_EQ(StampsOf(2036, 12, 31), Stamps({76}));
  EXPECT_FALSE(std::filesystem::exists(IconFile(2037, 1)));
}

TEST_F(StampWalk, EndingOnTheLastDayWritesOneMonth) {
  const auto outcome = Walk(Record(2004, 5, 25, {u"晴", u"晴", u"晴", u"晴", u"晴", u"晴", u"雨"}));
  EXPECT_EQ(outcome.lastMonth, 5);
  EXPECT_EQ(StampsOf(2004, 5, 31), Stamps({76}));
  EXPECT_FALSE(std::filesystem::exists(IconFile(2004, 6))) << "June is not touched";
}

TEST_F(StampWalk, WithoutAFirstDayNothingIsStamped) {
  for (int first : {0, 31, -1}) {  // unknown; past April's end; nonsense
    const auto outcome = Walk(Record(2004, 4, first, {u"晴"}));
    EXPECT_FALSE(outcome.stamped) << first;
  }
  EXPECT_FALSE(Walk(Record(2004, 13, 1, {u"晴"})).stamped);
  EXPECT_FALSE(std::filesystem::exists(host_.data() / "2004"));
}

TEST_F(StampWalk, ShortAndLongFilesAreCarriedOver) {
  const std::string shortFile = Noise(2004, 5, 700);
  const std::string longFile = Noise(2004, 6, kIconFileBytes + 123);
  Walk(Record(2004, 5, 30, {u"晴", u"晴", u"雨", u"雨", u"雨", u"雨", u"雨"}));
  const std::string mayAfter = ReadFile(IconFile(2004, 5));
  ASSERT_EQ(mayAfter.size(), kIconFileBytes) << "a short file is read as far as it goes";
  EXPECT_EQ(mayAfter.substr(0, 300), shortFile.substr(0, 300));
  EXPECT_EQ(mayAfter.substr(340, 360), shortFile.substr(340, 360));
  EXPECT_EQ(mayAfter.substr(kIconFileBytes - 360, 300), std::string(300, '\0'));
  ExpectOnlyStampsChanged(longFile, ReadFile(IconFile(2004, 6)));
}

TEST_F(StampWalk, AMonthThatCannotBeWrittenIsReportedAndTheWalkGoesOn) {
  // Another program's file that can't be read is not written over with zeros.
  std::filesystem::create_directories(IconFile(2005, 2));
  const std::string march = Noise(2005, 3);
  Walk(Record(2005, 2, 27, {u"晴", u"晴", u"雨", u"雨", u"雨", u"雨", u"雨"}));
  EXPECT_EQ(saveFailures_, 1);
  EXPECT_TRUE(std::filesystem::is_directory(IconFile(2005, 2)));
  EXPECT_EQ(StampsOf(2005, 3, 1), Stamps({76}));

  saveFailures_ = 0;
  const std::string marchBefore = ReadFile(IconFile(2005, 3));
  auto previous = SetAtomicFailureHook([](AtomicStep step) { return step == AtomicStep::kRename; });
  Walk(Record(2005, 3, 30, {u"雪", u"雪", u"雪", u"雪", u"雪", u"雪", u"雪"}));
  SetAtomicFailureHook(previous);
  EXPECT_EQ(saveFailures_, 2) << "March and April";
  EXPECT_EQ(ReadFile(IconFile(2005, 3)), marchBefore) << "the old file stays whole";
  EXPECT_FALSE(std::filesystem::exists(IconFile(2005, 4)));
}

// A kill at any moment of a save leaves the old file or the new one, never a mixture.
TEST_F(StampWalk, KillDuringASaveKeepsTheFileWhole) {
  const std::string before = Noise(2005, 2);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    for (int i = 0;; ++i) {
      IconMonth icons(host_.data());
      icons.Load(2005, 2);
      for (int day = 1; day <= kIconDays; ++day)
        icons.SetStamps(day, ClassifyWeather(i % 2 ? u"晴時々曇" : u"雨後雪"));
      (void)icons.Save();
    }
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  const std::string after = ReadFile(IconFile(2005, 2));
  ExpectOnlyStampsChanged(before, after);
  if (after == before) return;  // killed before the first save was in place
  const DayStamps first = StampsOf(2005, 2, 1);
  EXPECT_TRUE(first == ClassifyWeather(u"晴時々曇") || first == ClassifyWeather(u"雨後雪"));
  for (int day = 2; day <= kIconDays; ++day) EXPECT_EQ(StampsOf(2005, 2, day), first) << day;
}

}  // namespace
}  // namespace yk::tenki
