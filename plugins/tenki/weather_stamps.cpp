#include "plugins/tenki/weather_stamps.h"

#include <algorithm>

#include "common/atomic_file.h"
#include "common/data_path.h"
#include "common/date_util.h"
#include "plugins/tenki/file_bytes.h"

namespace yk::tenki {
namespace {

constexpr char kIconFileName[] = "icons.dat";
// Larger files are not ours to rewrite: they are read whole so that nothing is lost.
constexpr size_t kMaxIconFileBytes = size_t(16) << 20;

// Stamp integers, as offsets from integer 75.
enum Stamp : int { kFirstSun = 0, kThen = 4, kAtTimes = 5, kSecondSun = 6 };

// Sun, rain, cloud, snow: the order of the integers.  The words are tested in the order
// 晴, 曇, 雨, 雪.
struct WeatherWord {
  std::u16string_view word;
  int index;  // 0 sun, 1 rain, 2 cloud, 3 snow
};
constexpr WeatherWord kWeatherTests[] = {{u"晴", 0}, {u"曇", 2}, {u"雨", 1}, {u"雪", 3}};

int WeatherOf(std::u16string_view piece) {
  for (const WeatherWord& w : kWeatherTests)
    if (piece.find(w.word) != std::u16string_view::npos) return w.index;
  return -1;
}

void Mark(DayStamps& stamps, int first, int weather) {
  if (weather >= 0) stamps[size_t(first + weather)] = 1;
}

}  // namespace

DayStamps ClassifyWeather(std::u16string_view text) {
  DayStamps stamps{};
  if (text.size() < 3) {
    Mark(stamps, kFirstSun, WeatherOf(text));
    return stamps;
  }
  Mark(stamps, kFirstSun, WeatherOf(text.substr(0, 2)));
  if (text.find(u"後") != std::u16string_view::npos)
    stamps[kThen] = 1;
  else if (text.find(u"時々") != std::u16string_view::npos ||
           text.find(u"一時") != std::u16string_view::npos)
    stamps[kAtTimes] = 1;
  Mark(stamps, kSecondSun, WeatherOf(text.substr(text.size() - 2)));
  return stamps;
}

std::filesystem::path IconMonth::file() const {
  return DataTreePath(dataFolder_, year_, month_, 0, kIconFileName);
}

void IconMonth::Load(int year, int month) {
  if (year == year_ && month == month_) return;
  year_ = year;
  month_ = month;
  const FileRead read = ReadFileBytes(file(), kMaxIconFileBytes, &bytes_);
  usable_ = read != FileRead::kUnreadable;
  if (bytes_.size() < kIconFileBytes) bytes_.resize(kIconFileBytes, '\0');
}

bool IconMonth::Save() const {
  if (!usable_ || year_ == 0) return false;
  const std::filesystem::path target = file();
  CreateFoldersFor(target);
  return ReplaceFileAtomically(target, bytes_);
}

void IconMonth::SetStamps(int day, const DayStamps& stamps) {
  if (day < 1 || day > kIconDays || bytes_.size() < kIconFileBytes) return;
  const size_t at = size_t(day - 1) * kIconDayBytes + size_t(kFirstStampInteger) * 4;
  for (size_t i = 0; i < stamps.size(); ++i)
    for (size_t b = 0; b < 4; ++b)
      bytes_[at + 4 * i + b] = char((uint32_t(stamps[i]) >> (8 * b)) & 0xFF);
}

DayStamps IconMonth::Stamps(int day) const {
  DayStamps stamps{};
  if (day < 1 || day > kIconDays || bytes_.size() < kIconFileBytes) return stamps;
  const size_t at = size_t(day - 1) * kIconDayBytes + size_t(kFirstStampInteger) * 4;
  for (size_t i = 0; i < stamps.size(); ++i) {
    uint32_t value = 0;
    for (size_t b = 0; b < 4; ++b) value |= uint32_t(uint8_t(bytes_[at + 4 * i + b])) << (8 * b);
    stamps[i] = int32_t(value);
  }
  return stamps;
}

StampOutcome StampForecast(const ForecastRecord& record, const std::filesystem::path& dataFolder,
                           const std::function<void()>& saveFailed) {
  StampOutcome outcome;
  int year = record.year, month = record.month, day = record.firstDay;
  if (!IsValidDate(year, month, day) || year > kLastYear) return outcome;
  IconMonth icons(dataFolder);
  icons.Load(year, month);
  auto save = [&] {
    if (!icons.Save() && saveFailed) saveFailed();
  };
  for (int entry = 0; entry < kForecastDays; ++entry) {
    icons.SetStamps(day, ClassifyWeather(record.days[size_t(entry)].text));
    if (entry + 1 == kForecastDays) break;  // nothing more to stamp: stay in this month
    if (day < DaysInMonth(year, month)) {
      ++day;
      continue;
    }
    if (month == 12 && year >= kLastYear) break;  // past the years the organizer offers
    save();
    month = month % 12 + 1;
    if (month == 1) ++year;
    day = 1;
    icons.Load(year, month);
  }
  save();
  outcome.stamped = true;
  outcome.lastYear = icons.year();
  outcome.lastMonth = icons.month();
  return outcome;
}

}  // namespace yk::tenki
