// memo_store.h — the diary and memo files: one text per day and, per year, the list of the
// days that hold one.
//
//   <data>/<y>/<m>/<d>/memo.txt   the day's memo in the device code page (CP932): exactly
//                                 the converted bytes, no byte-order mark, no terminating
//                                 NUL; line breaks are CR LF as typed
//   <data>/<y>/memolist.txt       UTF-16LE without byte-order mark: one line "MM,DD" (two
//                                 digits each) and CR LF per day that has a memo, in the
//                                 order the memos were first saved, not sorted
//
// Other programs (the diary plugin, the handheld) read and write the same files, so the
// formats are fixed byte for byte.  Nothing is cached: every read sees the disk as it is.
//
// A memo is read and written whole, whatever its length (other programs may write longer
// ones than the edit box takes), and a memo is replaced atomically: a crash or a full disk
// leaves the old memo or the new one, never a part.  A text the code page can't hold
// exactly is refused instead of being stored with "?" in place of its characters.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace yk {

// The searcher takes at most this many (month, day) pairs from one year's list.
inline constexpr int kMemoListReadLimit = 370;
// Characters the memo edit box takes.
inline constexpr int kMemoBoxLimit = 1024;

struct MemoDay {
  int month = 0;
  int day = 0;
  friend bool operator==(const MemoDay&, const MemoDay&) = default;
};

[[nodiscard]] std::filesystem::path MemoFilePath(const std::filesystem::path& dataFolder, int year,
                                                 int month, int day);
[[nodiscard]] std::filesystem::path MemoListPath(const std::filesystem::path& dataFolder, int year);

// The bytes of the day's memo file; nullopt when there is none (or it is no regular file,
// or it can't be read to the end, or the date is no calendar date).
[[nodiscard]] std::optional<std::string> ReadMemoBytes(const std::filesystem::path& dataFolder,
                                                       int year, int month, int day);

// The day's memo as UTF-16 text; false (and an empty text) when there is none.  Bytes
// that are no CP932 character read as U+FFFD.
[[nodiscard]] bool ReadMemo(int year, int month, int day, const std::filesystem::path& dataFolder,
                            std::u16string* text);

enum class MemoWriteStatus {
  kWritten,         // the memo holds the text
  kNotConvertible,  // the code page can't hold `offending`; nothing was touched
  kFailed,          // the file couldn't be written; the old memo (if any) is unchanged
};

struct MemoWriteResult {
  MemoWriteStatus status = MemoWriteStatus::kFailed;
  char32_t offending = 0;
  [[nodiscard]] bool ok() const { return status == MemoWriteStatus::kWritten; }
};

// Creates the year, month and day folders and replaces the day's memo with `text`.  With
// `addToList` the day's line is appended to the year's list afterwards (a list that can't
// be written is skipped: the memo itself is saved).
[[nodiscard]] MemoWriteResult WriteMemo(int year, int month, int day,
                                        const std::filesystem::path& dataFolder,
                                        std::u16string_view text, bool addToList);

// Deletes the day's memo file (a missing one is no error) and removes every line of the
// day from the year's list; blank and short lines (4 units or less) go with it.  False
// when the memo file is still there afterwards; the list is then left as it was.
[[nodiscard]] bool DeleteMemo(int year, int month, int day,
                              const std::filesystem::path& dataFolder);

// The (month, day) pairs of the year's list in file order, duplicates kept, at most
// kMemoListReadLimit.  A line without "," is skipped; otherwise the month is the number
// its first two units read as and the day that of its last two.  A pair that names no
// day of the year is skipped too.  A missing list gives no pairs.
[[nodiscard]] std::vector<MemoDay> ReadMemoList(int year, const std::filesystem::path& dataFolder);

}  // namespace yk
