// holiday.h — the per-year holiday file, its reader and the lookup of a date.
//
// File: <dataFolder><year>holiday.txt ("2004holiday.txt"), UTF-16LE, CR LF, one entry a
// line, at most 200 entries a year:
//
//   (AA,BB CC,DD)(EE,FF,GG,HH,name)
//    A startMonth  B startDay  C endMonth  D endDay  E month  F day  G weekday  H colour
//
// every number two characters wide ("%.2d", a weekday of -1 written "-1").  Kinds:
//   one day a year      A..D 0, E/F the date, G -1                 "[%d/%d] %s"
//   a day every month   A..D 0, F day+50 (E not used), G -1         "[毎月%d日] %s"
//   a period of dates   A/B .. C/D, E/F 0, G -1 or one weekday     "[%d/%d～%d/%d] %s"
//   days every month    B and D day+50 within months A..C, E/F 0   "[%d～%d月 %d～%d日] %s"
// (a weekday adds " 日曜" … " 土曜" to the bracket of the last two kinds).
// colour: 0 none, 1 red, 2 blue, 3 green.
//
// The lookup walks the entries in file order and the first one that matches wins.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "common/plugin_interface.h"

namespace yk {

inline constexpr int kMaxHolidayNameLength = kHolidayNameUnits - 1;  // 511
inline constexpr int kMaxHolidays = kHolidayTableCapacity;           // 200

enum HolidayColour : int {
  kHolidayNoColour = 0,
  kHolidayRed = 1,
  kHolidayBlue = 2,
  kHolidayGreen = 3
};

// <dataFolder><year>holiday.txt
[[nodiscard]] std::filesystem::path HolidayFilePath(const std::filesystem::path& dataFolder,
                                                    int year);

// The entry's name up to its terminator (never reads past the 512 units).
[[nodiscard]] std::u16string_view HolidayName(const HolidayEntry& entry);

// Stores `name` cut to 511 units, with a terminator, zeroing the rest.
void SetHolidayName(HolidayEntry* entry, std::u16string_view name);

// Reads the year's file into `table` and returns the number of entries.  Without
// `force`, a table whose loadedYear is `year` is kept as it is and the file is not
// touched.  A file that can't be opened (a year without holidays) gives an empty table
// for that year: loadedYear = year, count 0, result 0.  Lines that don't parse are
// skipped; lines after the 200th entry are not read.
int ReadHolidays(int year, const std::filesystem::path& dataFolder, HolidayTable* table,
                 bool force);

// The first entry of the table that falls on (month, day, weekday 0 = Sunday), or null.
// Its colour and name are what the views show.
[[nodiscard]] const HolidayEntry* FindHoliday(const HolidayTable& table, int month, int day,
                                              int weekday);

// Whether one entry falls on the date (its range test and its day test both pass).
[[nodiscard]] bool HolidayMatches(const HolidayEntry& entry, int month, int day, int weekday);

// Parses one line (without its line end); anything before the first "(" is ignored.
// False, with *entry untouched, when the line is shorter than 27 characters from its "("
// or lacks "," at 3 or 25 or "(" at 13.
[[nodiscard]] bool ParseHolidayLine(std::u16string_view line, HolidayEntry* entry);

// The line of an entry, with its CR LF.
[[nodiscard]] std::u16string WriteHolidayLine(const HolidayEntry& entry);

// Writes the whole table as the year's file (replacing it atomically; no entries give an
// empty file, so deleted entries don't come back).  True on success; false leaves the old
// file as it was.  Shows no message: the editor reports the outcome.  The caller resets
// the views' table (loadedYear 0) after a save so they read the file again.
[[nodiscard]] bool SaveHolidays(int year, const std::filesystem::path& dataFolder,
                                const HolidayTable& table);

// The text the holiday list shows for an entry.
[[nodiscard]] std::u16string HolidayDisplayText(const HolidayEntry& entry);

}  // namespace yk
