#include "plugins/tenki/forecast_record.h"

#include <gtest/gtest.h>

#include "common/atomic_file.h"
#include "plugins/tenki/tests/tenki_test_support.h"

namespace yk::tenki {
namespace {

// The full page's record with a below-zero temperature and texts that fill their rooms.
ForecastRecord Sample() {
  ForecastRecord r = testing::FullPageRecord();
  r.days[4].minimum = -16;
  r.days[6].text = u"一二三四五六七八九";
  r.rainTexts = {u"06-12時 10%", u"一二三四五六七八九十一二三四"};
  return r;
}

int32_t IntAt(const std::string& image, size_t at) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) v |= uint32_t(uint8_t(image[at + i])) << (8 * i);
  return int32_t(v);
}

std::u16string TextAt(const std::string& image, size_t at, size_t units) {
  std::u16string text;
  for (size_t i = 0; i < units; ++i)
    text.push_back(char16_t(uint8_t(image[at + 2 * i]) | uint8_t(image[at + 2 * i + 1]) << 8));
  return text;
}

// The bytes of the file, field by field at the offsets other programs read.
TEST(ForecastRecord, ImageLayout) {
  const std::string image = EncodeForecastRecord(Sample());
  ASSERT_EQ(image.size(), 572u);
  struct IntField {
    const char* field;
    size_t at;
    int32_t value;
  } ints[] = {
      {"year", 0, 2004},
      {"month", 4, 5},
      {"valid", 8, 1},
      {"entry 0 day", 32, 7},
      {"entry 0 max", 36, 99},
      {"entry 0 min", 40, 99},
      {"entry 0 rain", 44, 0},
      {"entry 2 rain", 12 + 72 + 32, 80},
      {"entry 4 min", 12 + 144 + 28, -16},
      {"entry 6 day", 12 + 216 + 20, 13},
      {"first day", 324, 7},
      {"rain texts", 568, 2},
  };
  for (const auto& f : ints) EXPECT_EQ(IntAt(image, f.at), f.value) << f.field;
  EXPECT_EQ(TextAt(image, 12, 10), std::u16string(u"晴時々曇\0\0\0\0\0\0", 10));
  EXPECT_EQ(TextAt(image, 12 + 216, 10), std::u16string(u"一二三四五六七八九\0", 10))
      << "nine characters and the terminator fill the room";
  EXPECT_EQ(TextAt(image, 328 + 30, 15), std::u16string(u"一二三四五六七八九十一二三四\0", 15));
  for (size_t at = 264; at < 324; ++at) EXPECT_EQ(image[at], '\0') << "reserved byte " << at;
  for (size_t at = 328 + 60; at < 568; ++at)
    EXPECT_EQ(image[at], '\0') << "unused rain text " << at;
}

TEST(ForecastRecord, ReadsBackWhatItWrote) {
  const ForecastRecord sample = Sample();
  EXPECT_EQ(DecodeForecastRecord(EncodeForecastRecord(sample)), sample);

  ForecastRecord tooLong = sample;
  tooLong.days[0].text = u"0123456789ABC";
  tooLong.rainTexts.assign(9, u"0123456789ABCDEFG");
  const auto back = DecodeForecastRecord(EncodeForecastRecord(tooLong));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->days[0].text, u"012345678");
  EXPECT_EQ(back->rainTexts, std::vector<std::u16string>(8, u"0123456789ABCD"));
}

TEST(ForecastRecord, RefusesOrMendsWhatIsNotAForecast) {
  const std::string good = EncodeForecastRecord(Sample());
  auto with = [&](size_t at, int32_t value) {
    std::string image = good;
    for (size_t i = 0; i < 4; ++i) image[at + i] = char((uint32_t(value) >> (8 * i)) & 0xFF);
    return image;
  };
  EXPECT_FALSE(DecodeForecastRecord(good.substr(0, 571))) << "short";
  EXPECT_FALSE(DecodeForecastRecord(good + "x")) << "long";
  EXPECT_FALSE(DecodeForecastRecord(with(8, 0))) << "not marked valid";
  EXPECT_FALSE(DecodeForecastRecord(std::string(572, '\0')));

  struct Case {
    const char* rule;
    size_t at;
    int32_t value;
    std::function<int32_t(const ForecastRecord&)> read;
    int32_t expected;
  } cases[] = {
      {"day past the month", 32, 40, [](auto& r) { return r.days[0].day; }, 0},
      {"temperature far off", 36, 1000, [](auto& r) { return r.days[0].maximum; }, 99},
      {"rain over 100", 44, 400, [](auto& r) { return r.days[0].rain; }, 100},
      {"negative rain", 44, -1, [](auto& r) { return r.days[0].rain; }, 0},
      {"rain text count", 568, 99, [](auto& r) { return int32_t(r.rainTexts.size()); }, 8},
      {"negative rain text count", 568, -3, [](auto& r) { return int32_t(r.rainTexts.size()); }, 0},
      {"month", 4, 13, [](auto& r) { return r.month; }, 12},
  };
  for (const auto& c : cases) {
    auto record = DecodeForecastRecord(with(c.at, c.value));
    ASSERT_TRUE(record) << c.rule;
    EXPECT_EQ(c.read(*record), c.expected) << c.rule;
  }
  std::string unterminated = good;
  for (size_t at = 12; at < 32; ++at) unterminated[at] = 'A';
  EXPECT_EQ(DecodeForecastRecord(unterminated)->days[0].text, std::u16string(9, u'\u4141'));
}

TEST(ForecastRecord, FileIsReplacedWholeOrNotAtAll) {
  testing::TenkiHost host;
  const auto file = host.plugin() / "tvk_tenki.tdt";
  EXPECT_FALSE(LoadForecastRecord(file)) << "missing";
  ForecastRecord first = Sample();
  ASSERT_TRUE(SaveForecastRecord(file, first));
  EXPECT_EQ(LoadForecastRecord(file), first);

  ForecastRecord second = Sample();
  second.days[0].text.assign(1, u'雪');  // GCC 12 at -O3 misreads a short literal's copy
  for (AtomicStep failing :
       {AtomicStep::kCreateTemp, AtomicStep::kWrite, AtomicStep::kFlush, AtomicStep::kRename}) {
    auto previous = SetAtomicFailureHook([&](AtomicStep step) { return step == failing; });
    EXPECT_FALSE(SaveForecastRecord(file, second));
    SetAtomicFailureHook(previous);
    EXPECT_EQ(LoadForecastRecord(file), first) << "the last good forecast stays";
  }
  ASSERT_TRUE(SaveForecastRecord(file, second));
  EXPECT_EQ(LoadForecastRecord(file), second);
}

}  // namespace
}  // namespace yk::tenki
