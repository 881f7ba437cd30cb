// ansi_lines.h — text files in the device code page (CP932): the area list and the
// downloaded forecast page.
//
// A line ends at a line feed; the carriage returns before it are dropped with it (the
// download writes every line feed as CR LF, so a page that had CR LF already comes back
// with two).  A line longer than kMaxAnsiLineBytes bytes comes out in several pieces, as
// the handheld's 2048-byte line buffer read it, never splitting a double-byte character;
// each piece is converted to UTF-16 (bytes that are not CP932, and NUL bytes, become
// U+FFFD, so no text taken from a line ends early) and cut at kMaxAnsiLineUnits units.  Nothing
// else is changed and nothing is skipped: bytes from the network are read as far as they go, never
// past a line.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace yk::tenki {

inline constexpr size_t kMaxAnsiLineBytes = 2047;
inline constexpr size_t kMaxAnsiLineUnits = 1023;
// Files are read at most this far (the download is capped well below it).
inline constexpr size_t kMaxAnsiFileBytes = size_t(16) << 20;

// Called for each line piece in order; return false to stop.
using AnsiLineVisitor = std::function<bool(std::u16string_view line)>;

void ForEachAnsiLineInBytes(std::string_view bytes, const AnsiLineVisitor& visit);

// False when the file can't be opened or read.
[[nodiscard]] bool ForEachAnsiLine(const std::filesystem::path& file, const AnsiLineVisitor& visit);

// Every line piece of `bytes`.
std::vector<std::u16string> AnsiLines(std::string_view bytes);

}  // namespace yk::tenki
