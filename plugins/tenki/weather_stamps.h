// weather_stamps.h — the forecast as weather stamps in the calendar's icon files.
//
// icons.dat (<dataFolder><year>/<month>/icons.dat) holds 31 day records of 360 bytes
// (day 1 first, 11160 bytes, no header); a record is 90 little-endian 32-bit integers.
// The file is shared with the calendar and icon plugins: this plugin owns integers 75..84
// of each record (bytes 300..339) and carries every other byte over unchanged, bytes past
// the 31 records included.
//
//   integer  set to 1 when
//   75..78   the first weather is sun 晴, rain 雨, cloud 曇, snow 雪
//   79       the text holds "後" (then)
//   80       else the text holds "時々" or "一時" (at times)
//   81..84   the second weather is sun, rain, cloud, snow
//
// A piece of text maps to the first of "晴", "曇", "雨", "雪" (in this order) it holds.  A
// text shorter than 3 characters gives the first weather only; otherwise its first two
// characters give the first weather and its last two the second.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "plugins/tenki/forecast_record.h"

namespace yk::tenki {

inline constexpr int kIconDays = 31;
inline constexpr size_t kIconDayBytes = 360;
inline constexpr size_t kIconFileBytes = kIconDays * kIconDayBytes;
inline constexpr int kFirstStampInteger = 75;
inline constexpr int kStampIntegers = 10;  // 75..84

using DayStamps = std::array<int32_t, kStampIntegers>;  // integers 75..84

DayStamps ClassifyWeather(std::u16string_view text);

// One month's icon file in memory.
class IconMonth {
 public:
  explicit IconMonth(std::filesystem::path dataFolder) : dataFolder_(std::move(dataFolder)) {}

  // Holds `year` and `month` afterwards; reads the file unless they are held already.  A
  // missing or short file reads as far as it goes, the rest zero.  A file that is there
  // but can't be read makes the month unusable: Save then refuses rather than write zeros
  // over another plugin's data.
  void Load(int year, int month);
  // Writes the month through the atomic helper (folders created as needed).  False when
  // it could not, or the month is unusable; the old file then stays as it was.
  [[nodiscard]] bool Save() const;

  void SetStamps(int day, const DayStamps& stamps);
  DayStamps Stamps(int day) const;

  int year() const { return year_; }
  int month() const { return month_; }
  std::filesystem::path file() const;
  const std::string& bytes() const { return bytes_; }

 private:
  std::filesystem::path dataFolder_;
  int year_ = 0;
  int month_ = 0;
  bool usable_ = false;
  std::string bytes_;  // at least kIconFileBytes
};

struct StampOutcome {
  bool stamped = false;  // false: the record has no first day to start from
  int lastYear = 0;      // of the month written last
  int lastMonth = 0;
};

// Stamps the seven entries of `record` on consecutive calendar days from its first day
// (its year, month and firstDay; the entries' own day numbers are not used), month file by
// month file.  A month that can't be saved calls `saveFailed` and the walk goes on.  Days
// past the last year the organizer offers are not stamped.
StampOutcome StampForecast(const ForecastRecord& record, const std::filesystem::path& dataFolder,
                           const std::function<void()>& saveFailed);

}  // namespace yk::tenki
