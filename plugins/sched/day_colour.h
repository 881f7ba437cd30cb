// day_colour.h — the colour marks of days, read from daycolor.dat.
//
// One file per month, <dataFolder><year>/<month>/daycolor.dat: 31 little-endian 32-bit
// integers, the colour number of day 1 to day 31.  Numbers outside 0..9 read as 0, a
// missing or short file reads as 0 for the days it doesn't hold.  This program only reads
// the file.  Colour numbers index kDayColours (0x00BBGGRR); 0 is no mark.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>

namespace yk::sched {

inline constexpr int kDayColourCount = 10;
inline constexpr std::array<uint32_t, kDayColourCount> kDayColours = {
    0xFFFFFF, 0xB5B5FF, 0xB5DFFF, 0xA6FCFB, 0xA6FCB0,
    0xFEFCA6, 0xFCC4A6, 0xFCA6B2, 0xFCA6DD, 0xD4D4D4};

// The colour numbers in a file's bytes: day 1 first; days the bytes don't reach are 0.
std::array<int, 31> ParseDayColours(std::span<const uint8_t> bytes);

// The colour numbers of the month's days 1..31 (index 0 is day 1).
std::array<int, 31> ReadDayColours(const std::filesystem::path& dataFolder, int year, int month);

// The colour number of one day, 0 for none (also for a day outside 1..31).
int DayColourNumber(const std::filesystem::path& dataFolder, int year, int month, int day);

}  // namespace yk::sched
