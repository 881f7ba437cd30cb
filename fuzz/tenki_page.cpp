// Forecast pages from any web server: scanned to the end without reading past a line or a
// field, every value inside its range, the record image always 572 bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "plugins/tenki/ansi_lines.h"
#include "plugins/tenki/forecast_page.h"
#include "plugins/tenki/forecast_record.h"
#include "plugins/tenki/forecast_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace yk::tenki;
  const auto lines = AnsiLines({reinterpret_cast<const char*>(data), size});
  const PageScan scan = ScanForecastPage(lines, 2004, 5);
  const ForecastRecord& r = scan.record;
  if (r.rainTexts.size() > kMaxRainTexts) __builtin_trap();
  for (const auto& text : r.rainTexts)
    if (text.size() > kRainTextUnits) __builtin_trap();
  for (const ForecastDay& day : r.days) {
    if (day.text.size() > kWeatherTextUnits || day.day < 0 || day.day > 31) __builtin_trap();
    if (day.rain < 0 || day.rain > 100) __builtin_trap();
    for (int t : {day.maximum, day.minimum})
      if (t != kUnknownTemperature && (t < kMinTemperature || t > kMaxTemperature))
        __builtin_trap();
  }
  const std::string image = EncodeForecastRecord(r);
  if (image.size() != kForecastRecordBytes) __builtin_trap();
  const auto back = DecodeForecastRecord(image);
  if (!back || !(*back == r)) __builtin_trap();
  (void)ForecastText(r, u"東京都：東京");
  return 0;
}
