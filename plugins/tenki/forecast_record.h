// forecast_record.h — the parsed forecast, and its file plugin/tvk_tenki.tdt.
//
// The file is the record's raw 572-byte image (integers 32-bit little-endian, texts
// UTF-16 little-endian, zero-terminated within their room):
//
//   bytes     field
//   0-3       year of the download
//   4-7       month of the download (1..12)
//   8-11      valid flag (1 after a successful parse)
//   12-263    7 day entries of 36 bytes: weather text (10 units, 20 bytes), day of month,
//             maximum temperature, minimum temperature, rain probability; entry 0 is
//             today, 1 tomorrow, 2..6 the following days; 99 marks an unknown temperature
//   264-323   zero
//   324-327   first day of the forecast (today's day, again)
//   328-567   8 rain-probability texts of today, 30 bytes (15 units) each
//   568-571   number of rain-probability texts
//
// A file of another size, or one not marked valid, holds no forecast.  Values read back
// are kept in their ranges: a day outside 1..31 reads as 0 (unknown), a temperature
// outside kMinTemperature..kMaxTemperature as 99, a rain probability outside 0..100 is
// clamped, texts end at their terminator or their room.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace yk::tenki {

inline constexpr int kForecastDays = 7;
inline constexpr size_t kWeatherTextUnits = 9;  // characters; the room holds a terminator too
inline constexpr size_t kRainTextUnits = 14;
inline constexpr size_t kMaxRainTexts = 8;
inline constexpr int kUnknownTemperature = 99;
inline constexpr int kMinTemperature = -60;
inline constexpr int kMaxTemperature = 60;
inline constexpr size_t kForecastRecordBytes = 572;

struct ForecastDay {
  std::u16string text;  // at most kWeatherTextUnits
  int32_t day = 0;      // of the month, 0 = unknown
  int32_t maximum = 0;
  int32_t minimum = 0;
  int32_t rain = 0;  // percent
  friend bool operator==(const ForecastDay&, const ForecastDay&) = default;
};

struct ForecastRecord {
  int32_t year = 0;
  int32_t month = 0;
  bool valid = false;
  std::array<ForecastDay, kForecastDays> days{};
  int32_t firstDay = 0;
  std::vector<std::u16string> rainTexts;  // at most kMaxRainTexts, each at most kRainTextUnits
  friend bool operator==(const ForecastRecord&, const ForecastRecord&) = default;
};

// The 572-byte image.
std::string EncodeForecastRecord(const ForecastRecord& record);
// std::nullopt unless `bytes` is exactly 572 bytes marked valid.
std::optional<ForecastRecord> DecodeForecastRecord(std::string_view bytes);

// Reads plugin/tvk_tenki.tdt; std::nullopt when it is missing or holds no forecast.
std::optional<ForecastRecord> LoadForecastRecord(const std::filesystem::path& file);
// Replaces the file atomically: a failure leaves the old forecast whole.
[[nodiscard]] bool SaveForecastRecord(const std::filesystem::path& file,
                                      const ForecastRecord& record);

// Range rules shared by the page parser and the file reader.
int32_t DayOrUnknown(int64_t day);
int32_t TemperatureOrUnknown(int64_t degrees);
int32_t RainPercent(int64_t percent);

}  // namespace yk::tenki
