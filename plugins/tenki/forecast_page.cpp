#include "plugins/tenki/forecast_page.h"

#include <initializer_list>
#include <optional>

namespace yk::tenki {
namespace {

constexpr std::u16string_view kTodayMarkers[] = {u"今日(", u"今夜(", u"今朝("};
constexpr std::u16string_view kDayClose = u"日)";
constexpr std::u16string_view kTomorrowMarker = u"明日(";
constexpr std::u16string_view kWeatherCell =
    u"<TD bgcolor=\"#FFFFFF\" height=\"40\" align=\"center\">";
constexpr std::u16string_view kBoldOpen = u"<B>";
constexpr std::u16string_view kBoldClose = u"</B>";
constexpr std::u16string_view kHour = u"時";
constexpr std::u16string_view kPercent = u"%";
constexpr std::u16string_view kNoValue = u"--";
constexpr std::u16string_view kLineBreak = u"<br>";
constexpr std::u16string_view kWeeklyTableMarker = u"天気予報テーブル";
constexpr std::u16string_view kDayAfterMarker = u"明後日のお天気";
constexpr std::u16string_view kDayAfterDayMarker = u"後日(";
constexpr std::u16string_view kPercentBreak = u"%<BR>";
constexpr std::u16string_view kDaysCell = u"<TD bgcolor=\"#CCCCCC\" width=\"70\" align=\"center\">";
constexpr std::u16string_view kWhiteCell =
    u"<TD bgcolor=\"#FFFFFF\" width=\"70\" align=\"center\">";
constexpr std::u16string_view kTemperatureCell =
    u"<TD bgcolor=\"#FFCC99\" width=\"70\" align=\"center\">";
constexpr std::u16string_view kCellEnd = u"</TD>";
constexpr std::u16string_view kDegrees = u"℃";
constexpr size_t kCellRestSkip = 4;  // the rest of a row begins this far into the next </TD>
constexpr size_t kLinesBeforeRain = 3;
constexpr size_t kTodayRainLines = 5;
constexpr size_t kDayAfterRainLines = 3;
constexpr int kLastEntry = kForecastDays - 1;

struct WeatherPicture {
  std::u16string_view tag;
  std::u16string_view word;
};
constexpr WeatherPicture kWeatherPictures[] = {
    {u"<IMG src=\"../shere_img/w_sun.gif\" width=\"16\" height=\"16\">", u"晴"},
    {u"<IMG src=\"../shere_img/w_snow.gif\" width=\"16\" height=\"16\">", u"雪"},
    {u"<IMG src=\"../shere_img/w_rain.gif\" width=\"16\" height=\"16\">", u"雨"},
    {u"<IMG src=\"../shere_img/w_clowd.gif\" width=\"16\" height=\"16\">", u"曇"},
};

bool Holds(std::u16string_view line, std::u16string_view marker) {
  return line.find(marker) != std::u16string_view::npos;
}

std::u16string Cut(std::u16string text, size_t units) {
  if (text.size() > units) text.resize(units);
  return text;
}

std::u16string Without(std::u16string_view line, std::u16string_view piece) {
  std::u16string out;
  for (size_t at = 0;;) {
    const size_t found = line.find(piece, at);
    out.append(line.substr(at, found - at));
    if (found == std::u16string_view::npos) return out;
    at = found + piece.size();
  }
}

// The decimal number at the start of `text` (after blanks, a full-width blank included),
// or std::nullopt when there are no digits.  Large values stay large (and are then out of
// every range) without overflowing.
std::optional<int64_t> NumberAt(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\u3000')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  if (i == text.size() || text[i] < u'0' || text[i] > u'9') return std::nullopt;
  int64_t value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
    value = std::min<int64_t>(value * 10 + (text[i] - u'0'), int64_t(1) << 40);
  return negative ? -value : value;
}

int32_t Day(std::u16string_view text) {
  return DayOrUnknown(NumberAt(text).value_or(0));
}

int32_t Temperature(std::u16string_view text) {
  return TemperatureOrUnknown(NumberAt(text).value_or(kUnknownTemperature));
}

int32_t Rain(std::u16string_view text) {
  return RainPercent(NumberAt(text).value_or(0));
}

// The number between `open` (found at `at`) and the next `close` after it, if any.
std::optional<std::u16string_view> Between(std::u16string_view line, size_t at,
                                           std::u16string_view open, std::u16string_view close) {
  if (at == std::u16string_view::npos) return std::nullopt;
  const size_t start = at + open.size();
  const size_t end = line.find(close, start);
  if (end == std::u16string_view::npos) return std::nullopt;
  return line.substr(start, end - start);
}

class PageScanner {
 public:
  PageScanner(const std::vector<std::u16string>& lines, int year, int month) : lines_(lines) {
    scan_.record.year = year;
    scan_.record.month = month;
    scan_.record.valid = true;
    // Temperatures the page does not give are unknown, whichever marker is missing.
    for (ForecastDay& day : scan_.record.days) SetTemperaturesUnknown(day);
  }

  PageScan Run() {
    ForecastRecord& r = scan_.record;
    TodaysDay();
    WeatherBlock(r.days[0], kTodayRainLines, [&](std::u16string_view line) { TodaysRain(line); });
    TomorrowsDay();
    WeatherBlock(r.days[1], kTodayRainLines, [&](std::u16string_view line) { TodaysRain(line); });
    const bool dayAfter = DayAfterTomorrowPresent();
    if (dayAfter) {
      DayAfterTomorrowsDay();
      WeatherBlock(r.days[2], kDayAfterRainLines,
                   [&](std::u16string_view line) { DayAfterTomorrowsRain(line); });
    }
    WeeklyTable(dayAfter ? 3 : 2);
    return std::move(scan_);
  }

 private:
  // The next line, or nullptr at the end of the page.
  const std::u16string* Next() { return at_ < lines_.size() ? &lines_[at_++] : nullptr; }

  // The next line holding any of `markers`, or nullptr.
  const std::u16string* NextWith(std::initializer_list<std::u16string_view> markers) {
    while (const std::u16string* line = Next())
      for (std::u16string_view marker : markers)
        if (Holds(*line, marker)) return line;
    return nullptr;
  }

  static void SetTemperaturesUnknown(ForecastDay& day) {
    day.maximum = kUnknownTemperature;
    day.minimum = kUnknownTemperature;
  }

  void TodaysDay() {
    ForecastDay& today = scan_.record.days[0];
    SetTemperaturesUnknown(today);
    const std::u16string* line = NextWith({kTodayMarkers[0], kTodayMarkers[1], kTodayMarkers[2]});
    if (line == nullptr) return;
    scan_.foundToday = true;
    for (std::u16string_view marker : kTodayMarkers) {
      if (auto number = Between(*line, line->find(marker), marker, kDayClose)) {
        today.day = Day(*number);
        break;
      }
    }
    scan_.record.firstDay = today.day;
  }

  void TomorrowsDay() {
    ForecastDay& tomorrow = scan_.record.days[1];
    SetTemperaturesUnknown(tomorrow);
    const std::u16string* line = NextWith({kTomorrowMarker});
    if (line == nullptr) return;
    if (auto number = Between(*line, line->find(kTomorrowMarker), kTomorrowMarker, kDayClose))
      tomorrow.day = Day(*number);
  }

  bool DayAfterTomorrowPresent() {
    const std::u16string* line = NextWith({kWeeklyTableMarker, kDayAfterMarker});
    return line != nullptr && Holds(*line, kDayAfterMarker);
  }

  void DayAfterTomorrowsDay() {
    ForecastDay& day = scan_.record.days[2];
    SetTemperaturesUnknown(day);
    const std::u16string* line = NextWith({kDayAfterDayMarker});
    if (line == nullptr) return;
    if (auto number = Between(*line, line->find(kDayAfterDayMarker), kDayAfterDayMarker, kDayClose))
      day.day = Day(*number);
  }

  // The next weather cell line gives the day's text; `rainLines` lines after the three
  // that follow it go to `takeRain`.
  template <typename TakeRain>
  void WeatherBlock(ForecastDay& day, size_t rainLines, TakeRain takeRain) {
    const std::u16string* line = NextWith({kWeatherCell});
    if (line == nullptr) return;
    const size_t open = line->find(kBoldOpen);
    if (open != std::u16string::npos) {
      if (auto text = Between(*line, open, kBoldOpen, kBoldClose))
        day.text = Cut(WeatherWords(*text), kWeatherTextUnits);
    }
    for (size_t i = 0; i < kLinesBeforeRain; ++i)
      if (Next() == nullptr) return;
    for (size_t i = 0; i < rainLines; ++i) {
      const std::u16string* rain = Next();
      if (rain == nullptr) return;
      takeRain(*rain);
    }
  }

  void TodaysRain(std::u16string_view line) {
    if (!Holds(line, kHour) || !Holds(line, kPercent) || Holds(line, kNoValue)) return;
    auto& texts = scan_.record.rainTexts;
    if (texts.size() < kMaxRainTexts)
      texts.push_back(Cut(Without(line, kLineBreak), kRainTextUnits));
  }

  void DayAfterTomorrowsRain(std::u16string_view line) {
    if (!Holds(line, kPercent) || Holds(line, kNoValue)) return;
    scan_.record.days[2].rain = Rain(Without(line, kPercentBreak));
  }

  // One row of the weekly table: the cells' values go to entries `first`, first + 1, ...
  // (at most seven cells, never past entry 6).  Returns the entry after the last filled.
  template <typename Store>
  static int Row(std::u16string_view rest, std::u16string_view cell, std::u16string_view end,
                 int first, Store store) {
    int entry = first;
    for (int cells = 0; cells < kForecastDays && entry <= kLastEntry; ++cells) {
      const size_t at = rest.find(cell);
      if (at == std::u16string_view::npos) break;
      const size_t start = at + cell.size();
      const size_t stop = rest.find(end, start);
      if (stop == std::u16string_view::npos) break;
      store(entry++, rest.substr(start, stop - start));
      const size_t next = rest.find(kCellEnd, start);
      if (next == std::u16string_view::npos) break;
      rest = rest.substr(next + kCellRestSkip);
    }
    return entry;
  }

  template <typename Store>
  bool NextRow(std::u16string_view cell, std::u16string_view end, int first, Store store) {
    const std::u16string* line = NextWith({cell});
    return line != nullptr && Row(*line, cell, end, first, store) > kLastEntry;
  }

  void WeeklyTable(int first) {
    auto& days = scan_.record.days;
    if (!NextRow(kDaysCell, u"(", first,
                 [&](int e, std::u16string_view v) { days[e].day = Day(v); }))
      return;
    if (!NextRow(kWhiteCell, kCellEnd, first, [&](int e, std::u16string_view v) {
          days[e].text = Cut(WeatherWords(v), kWeatherTextUnits);
        }))
      return;
    if (!NextRow(kWhiteCell, kPercent, first, [&](int e, std::u16string_view v) {
          days[e].rain = Rain(v);
          SetTemperaturesUnknown(days[e]);
        }))
      return;
    NextRow(kTemperatureCell, kDegrees, first,
            [&](int e, std::u16string_view v) { days[e].maximum = Temperature(v); });
    NextRow(kTemperatureCell, kDegrees, first,
            [&](int e, std::u16string_view v) { days[e].minimum = Temperature(v); });
  }

  const std::vector<std::u16string>& lines_;
  size_t at_ = 0;
  PageScan scan_;
};

}  // namespace

std::u16string WeatherWords(std::u16string_view cell) {
  std::u16string text(cell);
  for (const WeatherPicture& picture : kWeatherPictures) {
    for (size_t at = text.find(picture.tag); at != std::u16string::npos;
         at = text.find(picture.tag, at + picture.word.size()))
      text.replace(at, picture.tag.size(), picture.word);
  }
  return text;
}

PageScan ScanForecastPage(const std::vector<std::u16string>& lines, int year, int month) {
  return PageScanner(lines, year, month).Run();
}

}  // namespace yk::tenki
