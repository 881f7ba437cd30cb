// forecast_page.h — reading the forecast out of the downloaded page.
//
// The page is scanned forward, line by line, for fixed HTML markers, in eight phases that
// each continue where the previous one stopped:
//   1. today's day: the first line holding "今日(", "今夜(" or "今朝("; the number between
//      the first of them (in that order) that is followed by "日)" and that "日)";
//   2. today's weather: the next line holding the weather cell; the text between its <B>
//      and </B>, with the weather pictures turned into words; three lines further on, of
//      the next five lines, each holding "時" and "%" and not "--" is a rain-probability
//      text (the line without its "<br>"), at most eight in all;
//   3. and 4. tomorrow, from a line holding "明日(", as 1 and 2;
//   5. the next line holding "天気予報テーブル" or "明後日のお天気"; with the latter the day
//      after tomorrow is on the page and
//   6. is read: its day from a line holding "後日(", its weather as in 2, and, three lines
//      after the weather, from the next three lines its rain probability;
//   7. the weekly table, one page line per row (days, weather, rain, maximum, minimum),
//      filling the entries from 3 (2 without the day after tomorrow) through 6;
//   8. the record takes the year and month of the download and is marked valid.
// A missing marker leaves its values unknown (99 for temperatures).  Texts are cut to
// their fields (9 characters for weather, 14 for rain probability); numbers outside their
// ranges are left unknown or clamped (see forecast_record.h).  Nothing is read past a line
// or a field, whatever the bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "plugins/tenki/forecast_record.h"

namespace yk::tenki {

struct PageScan {
  ForecastRecord record;
  // The page named today's forecast (phase 1 found its line): without that it is not a
  // forecast page at all, and the last good forecast is kept.
  bool foundToday = false;
};

// Scans the page's lines (as ansi_lines.h hands them out); the record gets `year` and
// `month` and is marked valid.
PageScan ScanForecastPage(const std::vector<std::u16string>& lines, int year, int month);

// The weather text of a cell: each of the four weather pictures replaced by its word
// (晴 sun, 雪 snow, 雨 rain, 曇 cloud).
std::u16string WeatherWords(std::u16string_view cell);

}  // namespace yk::tenki
