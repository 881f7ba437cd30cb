// utf16_line_file.h — the data files' text format: UTF-16 little-endian, two bytes a
// character, no byte-order mark, every line ending in CR LF.
//
// Reading hands out lines in pieces of at most 2047 UTF-16 units with the line end
// removed: a longer line comes out as several pieces (the handheld's readers used a
// 2048-unit buffer, and the files written there are cut to match).  A line of exactly
// 2047 units gives one piece.  Only a CR directly before the LF is removed; a last line
// without CR LF is still a line; a trailing odd byte is ignored.
//
// Files are opened per call and closed before it returns; nothing is kept open.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace yk {

inline constexpr std::size_t kMaxLineUnits = 2047;

// Called for each line piece in file order; return false to stop reading.
using LineVisitor = std::function<bool(std::u16string_view line)>;

// Reads `path` in chunks and calls `visit` for each line piece; reading stops when the
// visitor returns false.  False when the file can't be opened (missing, a folder, no
// permission) or a read fails midway (lines visited before then don't count); true
// otherwise, also for an empty file.
[[nodiscard]] bool ForEachUtf16Line(const std::filesystem::path& path, const LineVisitor& visit);

// Splits UTF-16LE bytes already in memory into line pieces (what ForEachUtf16Line does
// after reading the file).
void ForEachUtf16LineInBytes(std::string_view bytes, const LineVisitor& visit);

// All line pieces of a file, or nullopt when it can't be opened.
[[nodiscard]] std::optional<std::vector<std::u16string>> ReadUtf16Lines(
    const std::filesystem::path& path);

// The bytes of `text` as UTF-16LE (no terminator, no line end).
[[nodiscard]] std::string EncodeUtf16Le(std::u16string_view text);

// The bytes of one line: `text` as UTF-16LE followed by CR LF.
[[nodiscard]] std::string EncodeUtf16Line(std::u16string_view text);

// The whole of a regular file; nullopt when it can't be opened or read to the end.  Opened
// non-blocking so that a pipe in the file's place is refused rather than waited on.
[[nodiscard]] std::optional<std::string> ReadFileBytes(const std::filesystem::path& path);

// Appends one line (`text` and CR LF) at the end of `path`, creating the file when
// missing.  When the file's last line has no CR LF, one is written first so the new
// line starts on a line of its own (a file cut inside a unit gets a zero byte first).
// The bytes go out in one write and are fsynced; a write that fails halfway is cut off
// again (and a file the append made is removed).  False when the file can't be opened or
// written.
[[nodiscard]] bool AppendUtf16Line(const std::filesystem::path& path, std::u16string_view text);

// What an append put into its file, so that it can be taken out again.
struct Utf16Append {
  uint64_t at = 0;       // where its bytes begin
  std::string bytes;     // the line end the file lacked, if any, then the lines
  bool created = false;  // the file didn't exist before
  uint64_t device = 0;   // the file system the file lies on (st_dev)
};

// Whether an append flushes its file to disk before it returns, or leaves that to the
// caller (who flushes many files at once, see AppendBatch).
enum class AppendFlush { kNow, kByCaller };

// AppendUtf16Line for any number of lines at once: `lines` are whole lines already
// encoded (EncodeUtf16Line), written in one write after the line end the file may need.
// nullopt when the file can't be opened or written (a write that fails halfway is cut
// off again).
[[nodiscard]] std::optional<Utf16Append> AppendEncodedLines(const std::filesystem::path& path,
                                                            std::string_view lines,
                                                            AppendFlush flush);

// The bytes an append writes before its first line into a file of `size` bytes ending in
// `lastTwoBytes`: a zero byte and CR LF after a unit cut in half, CR LF after a last line
// without one, else nothing.
[[nodiscard]] std::string_view LineStartPadding(uint64_t size, std::string_view lastTwoBytes);

// Replaces `path` with the given lines (each followed by CR LF) through the atomic
// helper; no lines gives an empty file.  False leaves the old file untouched.
[[nodiscard]] bool ReplaceWithUtf16Lines(const std::filesystem::path& path,
                                         const std::vector<std::u16string>& lines);

}  // namespace yk
