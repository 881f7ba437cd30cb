#include "plugins/tenki/forecast_record.h"

#include <algorithm>

#include "common/atomic_file.h"
#include "common/data_path.h"
#include "plugins/tenki/file_bytes.h"

namespace yk::tenki {
namespace {

// Byte offsets of the image.
constexpr size_t kYearAt = 0;
constexpr size_t kMonthAt = 4;
constexpr size_t kValidAt = 8;
constexpr size_t kDaysAt = 12;
constexpr size_t kDayBytes = 36;
constexpr size_t kDayTextRoom = 10;  // units, terminator included
constexpr size_t kFirstDayAt = 324;
constexpr size_t kRainTextsAt = 328;
constexpr size_t kRainTextRoom = 15;
constexpr size_t kRainCountAt = 568;
static_assert(kDaysAt + kForecastDays * kDayBytes == 264);
static_assert(kRainTextsAt + kMaxRainTexts * kRainTextRoom * 2 == kRainCountAt);
static_assert(kRainCountAt + 4 == kForecastRecordBytes);

void PutInt(std::string& image, size_t at, int32_t value) {
  for (int i = 0; i < 4; ++i) image[at + size_t(i)] = char((uint32_t(value) >> (8 * i)) & 0xFF);
}

int32_t GetInt(std::string_view image, size_t at) {
  uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value |= uint32_t(uint8_t(image[at + size_t(i)])) << (8 * i);
  return int32_t(value);
}

// Writes at most room - 1 units, so the text is always terminated within its room.
void PutText(std::string& image, size_t at, size_t room, std::u16string_view text) {
  const size_t units = std::min(text.size(), room - 1);
  for (size_t i = 0; i < units; ++i) {
    image[at + 2 * i] = char(text[i] & 0xFF);
    image[at + 2 * i + 1] = char(text[i] >> 8);
  }
}

std::u16string GetText(std::string_view image, size_t at, size_t room) {
  std::u16string text;
  for (size_t i = 0; i + 1 < room; ++i) {
    const char16_t unit =
        char16_t(uint8_t(image[at + 2 * i]) | uint8_t(image[at + 2 * i + 1]) << 8);
    if (unit == 0) break;
    text.push_back(unit);
  }
  return text;
}

}  // namespace

int32_t DayOrUnknown(int64_t day) {
  return day >= 1 && day <= 31 ? int32_t(day) : 0;
}

int32_t TemperatureOrUnknown(int64_t degrees) {
  return degrees >= kMinTemperature && degrees <= kMaxTemperature ? int32_t(degrees)
                                                                  : kUnknownTemperature;
}

int32_t RainPercent(int64_t percent) {
  return int32_t(std::clamp<int64_t>(percent, 0, 100));
}

std::string EncodeForecastRecord(const ForecastRecord& record) {
  std::string image(kForecastRecordBytes, '\0');
  PutInt(image, kYearAt, record.year);
  PutInt(image, kMonthAt, record.month);
  PutInt(image, kValidAt, record.valid ? 1 : 0);
  for (size_t d = 0; d < kForecastDays; ++d) {
    const ForecastDay& day = record.days[d];
    const size_t at = kDaysAt + d * kDayBytes;
    PutText(image, at, kDayTextRoom, day.text);
    PutInt(image, at + 20, day.day);
    PutInt(image, at + 24, day.maximum);
    PutInt(image, at + 28, day.minimum);
    PutInt(image, at + 32, day.rain);
  }
  PutInt(image, kFirstDayAt, record.firstDay);
  const size_t rainCount = std::min(record.rainTexts.size(), kMaxRainTexts);
  for (size_t i = 0; i < rainCount; ++i)
    PutText(image, kRainTextsAt + i * kRainTextRoom * 2, kRainTextRoom, record.rainTexts[i]);
  PutInt(image, kRainCountAt, int32_t(rainCount));
  return image;
}

std::optional<ForecastRecord> DecodeForecastRecord(std::string_view image) {
  if (image.size() != kForecastRecordBytes || GetInt(image, kValidAt) != 1) return std::nullopt;
  ForecastRecord record;
  record.valid = true;
  record.year = GetInt(image, kYearAt);
  record.month = std::clamp(GetInt(image, kMonthAt), 1, 12);
  for (size_t d = 0; d < kForecastDays; ++d) {
    ForecastDay& day = record.days[d];
    const size_t at = kDaysAt + d * kDayBytes;
    day.text = GetText(image, at, kDayTextRoom);
    day.day = DayOrUnknown(GetInt(image, at + 20));
    day.maximum = TemperatureOrUnknown(GetInt(image, at + 24));
    day.minimum = TemperatureOrUnknown(GetInt(image, at + 28));
    day.rain = RainPercent(GetInt(image, at + 32));
  }
  record.firstDay = DayOrUnknown(GetInt(image, kFirstDayAt));
  const size_t rainCount =
      size_t(std::clamp<int32_t>(GetInt(image, kRainCountAt), 0, kMaxRainTexts));
  for (size_t i = 0; i < rainCount; ++i)
    record.rainTexts.push_back(GetText(image, kRainTextsAt + i * kRainTextRoom * 2, kRainTextRoom));
  return record;
}

std::optional<ForecastRecord> LoadForecastRecord(const std::filesystem::path& file) {
  std::string image;
  if (ReadFileBytes(file, kForecastRecordBytes + 1, &image) != FileRead::kRead) return std::nullopt;
  return DecodeForecastRecord(image);
}

bool SaveForecastRecord(const std::filesystem::path& file, const ForecastRecord& record) {
  CreateFoldersFor(file);
  return ReplaceFileAtomically(file, EncodeForecastRecord(record));
}

}  // namespace yk::tenki
