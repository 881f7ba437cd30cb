// schedule_store.cpp — the sched.txt tree, its cache and one date's list.
#include "common/schedule_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <numeric>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/append_batch.h"
#include "common/atomic_file.h"
#include "common/date_util.h"
#include "common/decimal_text.h"
#include "common/utf16_line_file.h"
#include "platform/message_box.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace yk {
namespace {

constexpr int kLevelBase[kScheduleLevelCount] = {0, 300, 600, 900};
constexpr int kLevelCapacities[kScheduleLevelCount] = {kYearsLevelCapacity, kMonthsLevelCapacity,
                                                       kDaysLevelCapacity, kDayLevelCapacity};

constexpr std::u16string_view kLimitMessages[kScheduleLevelCount] = {
    u"年をまたぐスケジュールが300件を超えました。これ以上の記録は出来ません",
    u"月をまたぐスケジュールが300件を超えました。これ以上の記録は出来ません",
    u"日をまたぐスケジュールが300件を超えました。これ以上の記録は出来ません",
    u"１日のスケジュールが50件を超えました。これ以上の記録は出来ません",
};
constexpr std::u16string_view kOpenFailedMessage =
    u"スケジュールファイルを開く事が出来ませんでした";

constexpr std::size_t kMinLineLength = 39;  // "(" through the "(" that opens the text
constexpr std::size_t kTextStart = 39;

int Index(SpanLevel level) {
  return static_cast<int>(level);
}

// The records a level holds.  The cache lies in memory every plugin writes to, so the
// count is kept within the level's slots whatever it says.
int CachedCount(const ScheduleStore* store, SpanLevel level) {
  return std::clamp<int32_t>(store->counts[Index(level)], 0, kLevelCapacities[Index(level)]);
}

void ShowLimitMessage(SpanLevel level) {
  platform::MessageBox(kLimitMessages[Index(level)], platform::kDefaultCaption, platform::kMbOk);
}

void ShowOpenFailedMessage() {
  platform::MessageBox(kOpenFailedMessage, platform::kDefaultCaption, platform::kMbOk);
}

void ShowRecordDoesNotFitMessage() {
  platform::MessageBox(kRecordDoesNotFitMessage, platform::kDefaultCaption, platform::kMbOk);
}

// A field of a line: all digits is by far the common case and is read directly.
template <std::size_t kWidth>
[[gnu::always_inline]] inline int32_t ReadField(const char16_t* field) {
  // "-1" and "-2": the negative periods.
  if (field[0] == u'-' && kWidth == 2 && field[1] >= u'0' && field[1] <= u'9') {
    return -static_cast<int32_t>(field[1] - u'0');
  }
  int32_t value = 0;
  unsigned bad = 0;
  for (std::size_t i = 0; i < kWidth; ++i) {
    unsigned digit = static_cast<unsigned>(field[i]) - u'0';
    bad |= digit > 9 ? 1u : 0u;
    value = value * 10 + static_cast<int32_t>(digit);
  }
  if (bad != 0) return ReadDecimal(std::u16string_view(field, kWidth));
  return value;
}

// Copies `count` units.  Texts are short, and this copy in 16-byte blocks (the last one
// overlapping, never reading or writing outside the range) is several times faster for
// them than the string-copy instruction a memcpy of bounded length is turned into here.
[[gnu::always_inline]] inline void CopyUnits(char16_t* to, const char16_t* from,
                                             std::size_t count) {
  char* out = reinterpret_cast<char*>(to);
  const char* in = reinterpret_cast<const char*>(from);
  std::size_t bytes = count * sizeof(char16_t);
  if (bytes >= 16) {
    std::size_t done = 0;
    for (; done + 16 <= bytes; done += 16) std::memcpy(out + done, in + done, 16);
    if (done < bytes) std::memcpy(out + bytes - 16, in + bytes - 16, 16);
  } else if (bytes >= 8) {
    std::memcpy(out, in, 8);
    std::memcpy(out + bytes - 8, in + bytes - 8, 8);
  } else if (bytes >= 4) {
    std::memcpy(out, in, 4);
    std::memcpy(out + bytes - 4, in + bytes - 4, 4);
  } else if (bytes == 2) {
    std::memcpy(out, in, 2);
  }
}

// Copies a text into the record with its terminator; the units after it are left as
// they are (the cache is read only up to the terminator).
[[gnu::always_inline]] inline void StoreText(ScheduleRecord* record, std::u16string_view text) {
  std::size_t length = std::min<std::size_t>(text.size(), kMaxScheduleTextLength);
  CopyUnits(record->text, text.data(), length);
  record->text[length] = u'\0';
}

// Reads the eleven numbers of a header field by field.
void ReadFields(const char16_t* p, ScheduleRecord* record) {
  record->startYear = ReadField<4>(p + 1);
  record->startMonth = ReadField<2>(p + 6);
  record->startDay = ReadField<2>(p + 9);
  record->startHour = ReadField<2>(p + 12);
  record->startMinute = ReadField<2>(p + 15);
  record->endYear = ReadField<4>(p + 18);
  record->endMonth = ReadField<2>(p + 23);
  record->endDay = ReadField<2>(p + 26);
  record->endHour = ReadField<2>(p + 29);
  record->endMinute = ReadField<2>(p + 32);
  record->period = ReadField<2>(p + 35);
}

#if defined(__SSE2__)
// Units 0..39 of a header, that is the 39 units through the "(" that opens the text and
// one more, as five blocks of eight.  The date and time digits must all be plain digits
// ("-1" and "-2" periods aside); then every number is read at once: lane i of a block's
// pairs holds 10 * digit i + digit i + 1, and a year is two pairs.  False leaves the
// header to be read field by field.
[[gnu::always_inline]] inline bool ReadPlainFields(const char16_t* p, ScheduleRecord* record) {
  static_assert(std::endian::native == std::endian::little);
  // Bit i: unit i must be a digit.
  constexpr auto places = [](std::initializer_list<int> at) {
    unsigned long long mask = 0;
    for (int i : at) mask |= 1ull << i;
    return mask;
  };
  constexpr unsigned long long kDigitPlaces = places(
      {1, 2, 3, 4, 6, 7, 9, 10, 12, 13, 15, 16, 18, 19, 20, 21, 23, 24, 26, 27, 29, 30, 32, 33});
  constexpr unsigned long long kPeriodPlaces = places({35, 36});
  const __m128i zeros = _mm_set1_epi16('0');
  const __m128i nine = _mm_set1_epi16(9);
  auto load = [p](int at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at)); };
  // A unit minus '0' is a digit when, unsigned, it is at most 9.
  auto digitLanes = [&](__m128i units) {
    return _mm_cmpeq_epi16(_mm_subs_epu16(_mm_sub_epi16(units, zeros), nine), _mm_setzero_si128());
  };
  auto mask16 = [](__m128i low, __m128i high) {
    return static_cast<unsigned long long>(
        static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(low, high))));
  };
  const __m128i units0 = load(0), units1 = load(8), units2 = load(16), units3 = load(24),
                units4 = load(32);
  const unsigned long long digits = mask16(digitLanes(units0), digitLanes(units1)) |
                                    mask16(digitLanes(units2), digitLanes(units3)) << 16 |
                                    mask16(digitLanes(units4), _mm_setzero_si128()) << 32;
  if ((digits & kDigitPlaces) != kDigitPlaces) return false;
  // The units one place on: loaded for the first four blocks, shifted in for the last
  // (whose pairs are needed only up to unit 36).
  const __m128i ten = _mm_set1_epi16(10);
  const __m128i pairOffset = _mm_set1_epi16(11 * '0');
  auto pairs = [&](__m128i units, __m128i next) {
    return _mm_sub_epi16(_mm_add_epi16(_mm_mullo_epi16(units, ten), next), pairOffset);
  };
  const __m128i pairs0 = pairs(units0, load(1)), pairs1 = pairs(units1, load(9)),
                pairs2 = pairs(units2, load(17)), pairs3 = pairs(units3, load(25)),
                pairs4 = pairs(units4, _mm_srli_si128(units4, 2));
  record->startYear = _mm_extract_epi16(pairs0, 1) * 100 + _mm_extract_epi16(pairs0, 3);
  record->startMonth = _mm_extract_epi16(pairs0, 6);
  record->startDay = _mm_extract_epi16(pairs1, 1);
  record->startHour = _mm_extract_epi16(pairs1, 4);
  record->startMinute = _mm_extract_epi16(pairs1, 7);
  record->endYear = _mm_extract_epi16(pairs2, 2) * 100 + _mm_extract_epi16(pairs2, 4);
  record->endMonth = _mm_extract_epi16(pairs2, 7);
  record->endDay = _mm_extract_epi16(pairs3, 2);
  record->endHour = _mm_extract_epi16(pairs3, 5);
  record->endMinute = _mm_extract_epi16(pairs4, 0);
  // "-1" and "-2" are common periods: only that field is then read the long way.
  record->period = (digits & kPeriodPlaces) == kPeriodPlaces ? _mm_extract_epi16(pairs4, 3)
                                                             : ReadField<2>(p + 35);
  return true;
}
#endif

// Parses into *record, which may be partly written when the line doesn't parse.  Inlined
// into the loading loop, where it runs once a line.
[[gnu::always_inline]] inline bool ParseInto(std::u16string_view line, ScheduleRecord* record) {
  std::size_t open = line.find(u'(');
  if (open == std::u16string_view::npos) return false;
  std::u16string_view s = line.substr(open);
  if (s.size() < kMinLineLength || s[5] != u',' || s[22] != u',' || s[38] != u'(') return false;

    // Each number runs from its start up to the next cut: 4 characters for the years, 2
    // for the others.  Nearly every line has plain digits in all of them, read all at once
    // when the line is long enough for that.
#if defined(__SSE2__)
  if (s.size() <= kTextStart || !ReadPlainFields(s.data(), record)) ReadFields(s.data(), record);
#else
  ReadFields(s.data(), record);
#endif

  std::u16string_view text = s.substr(kTextStart);
  if (!text.empty()) text.remove_suffix(1);  // the closing ")"
  StoreText(record, text);
  return true;
}

std::u16string Ascii(const char* text) {
  std::u16string out;
  for (; *text != '\0'; ++text) out.push_back(static_cast<unsigned char>(*text));
  return out;
}

// A text as it may stand on one line: each LF becomes "__TVRET__", a CR is dropped.
std::u16string OneLineText(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char16_t c : text) {
    if (c == u'\r') continue;
    if (c == u'\n') {
      out += kStoredLineBreak;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

// Whether the record's numbers fit their fixed-width columns, so that its line reads back
// as the same numbers.  The edit dialog never produces anything else; a record that
// doesn't fit is refused rather than written as a line no reader can take.
bool FitsLine(const ScheduleRecord& record, std::u16string_view line) {
  ScheduleRecord back{};
  if (!ParseInto(line, &back)) return false;
  return back.startYear == record.startYear && back.startMonth == record.startMonth &&
         back.startDay == record.startDay && back.startHour == record.startHour &&
         back.startMinute == record.startMinute && back.endYear == record.endYear &&
         back.endMonth == record.endMonth && back.endDay == record.endDay &&
         back.endHour == record.endHour && back.endMinute == record.endMinute &&
         back.period == record.period;
}

bool FitsLine(const ScheduleRecord& record) {
  return FitsLine(record, FormatScheduleLine(record));
}

// The record as its file holds it once written: line breaks escaped, a line longer than
// 2047 characters cut.  Records are compared in this form, so a caller that hands over a
// text with raw line breaks still finds what was stored for it.
ScheduleRecord AsStored(const ScheduleRecord& record) {
  ScheduleRecord stored{};
  if (!ParseInto(FormatScheduleLine(record), &stored)) return record;
  return stored;
}

// Reads the level's file for the date into the cache (LoadLevel without settling a move).
void ReadLevel(SpanLevel level, int year, int month, int day,
               const std::filesystem::path& dataFolder, ScheduleStore* store) {
  int index = Index(level);
  store->counts[index] = 0;
  store->keys[index] = LevelKey(level, year, month, day);
  ScheduleRecord* records = LevelRecords(store, level);
  int capacity = kLevelCapacities[index];
  int count = 0;
  // A file that can't be opened (or read to the end) leaves the level holding it with no
  // records: a level holding part of a file would lose the rest at its next rewrite.
  bool read = ForEachUtf16Line(ScheduleFilePath(dataFolder, level, year, month, day),
                               [&](std::u16string_view line) {
                                 if (ParseInto(line, &records[count])) ++count;
                                 return count < capacity;
                               });
  store->counts[index] = read ? count : 0;
}

// Whether the level holds the file for the date.
bool HoldsFile(const ScheduleStore* store, SpanLevel level, int year, int month, int day) {
  int32_t wanted = LevelKey(level, year, month, day);
  return wanted != 0 && store->keys[Index(level)] == wanted;
}

// Whether reading a level first settles a move intent left by a crash.  A move in progress
// reads its levels without: its own intent is not one left behind.
enum class Settling { kSettle, kSkip };

void EnsureLevelOf(const std::filesystem::path& dataFolder, const ScheduleRecord& record,
                   ScheduleStore* store, Settling settling = Settling::kSettle) {
  SpanLevel level = SpanLevelOf(record);
  if (HoldsFile(store, level, record.startYear, record.startMonth, record.startDay)) return;
  if (settling == Settling::kSettle) (void)SettleScheduleMove(dataFolder, store);
  ReadLevel(level, record.startYear, record.startMonth, record.startDay, dataFolder, store);
}

// Index within its level of the first cached record equal to `record`, or -1.
int FindCached(const ScheduleStore* store, SpanLevel level, const ScheduleRecord& record) {
  const ScheduleRecord* records = LevelRecords(store, level);
  int count = CachedCount(store, level);
  for (int i = 0; i < count; ++i) {
    if (records[i].period >= kDeletedMarker + 1 && RecordsEqual(records[i], record)) return i;
  }
  return -1;
}

// The file's new bytes: every cached record of the level not marked deleted, then `extra`.
std::string LevelBytes(const ScheduleStore* store, SpanLevel level, const ScheduleRecord* extra) {
  const ScheduleRecord* records = LevelRecords(store, level);
  int count = CachedCount(store, level);
  std::string bytes;
  for (int i = 0; i < count; ++i) {
    if (records[i].period < kDeletedMarker + 1) continue;
    bytes += EncodeUtf16Line(FormatScheduleLine(records[i]));
  }
  if (extra != nullptr) bytes += EncodeUtf16Line(FormatScheduleLine(*extra));
  return bytes;
}

// The lines of `path` that parse, past the first `held` of them, as they stand.
bool LinesPastCache(const std::filesystem::path& path, int held, std::string* bytes) {
  auto scratch = std::make_unique<ScheduleRecord>();
  int seen = 0;
  return ForEachUtf16Line(path, [&](std::u16string_view line) {
    if (ParseInto(line, scratch.get()) && ++seen > held) *bytes += EncodeUtf16Line(line);
    return true;
  });
}

// Writes the level's cache (less deleted records, plus `extra`) as `path`, atomically.
// A full level may hold only the first records of a longer file: the rest are carried
// over, so the rewrite loses none of them.  The level holds nothing afterwards, whatever
// the outcome.
bool RewriteLevel(const std::filesystem::path& path, SpanLevel level, ScheduleStore* store,
                  const ScheduleRecord* extra) {
  std::string bytes = LevelBytes(store, level, nullptr);
  const int held = CachedCount(store, level);
  if (held >= kLevelCapacities[Index(level)] && !LinesPastCache(path, held, &bytes)) {
    ForgetLevel(store, level);
    return false;
  }
  if (extra != nullptr) bytes += EncodeUtf16Line(FormatScheduleLine(*extra));
  ForgetLevel(store, level);
  std::error_code error;
  std::filesystem::create_directories(path.parent_path(), error);
  return ReplaceFileAtomically(path, bytes);
}

// Appends one record's line to its file; the level holds nothing afterwards.
bool AppendRecord(const std::filesystem::path& dataFolder, const ScheduleRecord& record,
                  ScheduleStore* store) {
  std::filesystem::path path = ScheduleFilePathOf(dataFolder, record);
  std::error_code error;
  std::filesystem::create_directories(path.parent_path(), error);
  ForgetLevel(store, SpanLevelOf(record));
  return AppendUtf16Line(path, FormatScheduleLine(record));
}

bool LevelFull(const ScheduleStore* store, SpanLevel level) {
  return CachedCount(store, level) >= kLevelCapacities[Index(level)];
}

// ---- adding many records at once ------------------------------------------------------------

// The records a level's reader finds in a file's bytes (at most the level's capacity).
int CountRecords(std::string_view bytes, SpanLevel level, ScheduleRecord* scratch) {
  const int capacity = kLevelCapacities[Index(level)];
  int count = 0;
  ForEachUtf16LineInBytes(bytes, [&](std::u16string_view line) {
    if (ParseInto(line, scratch)) ++count;
    return count < capacity;
  });
  return count;
}

// One file of a batch: its lines to append and what its level's limit check sees.
struct PlannedFile {
  std::filesystem::path path;
  SpanLevel level = SpanLevel::Day;
  std::size_t firstRecord = 0;  // index of its first record in the batch
  std::string lines;            // encoded, in batch order
  int added = 0;
  // What a reader finds before the first add (from the cache when the level held the
  // file), and once the first append has put its line end: the last line of a file cut
  // inside a unit gains a unit then, and with it may come to read as a record.
  int before = 0;
  int afterLineEnd = 0;
  bool beforeFromCache = false;
  std::optional<std::string> bytes;  // the file as read; nullopt when it can't be
};

// Reads the file; the records found in it.
int ReadPlannedFile(PlannedFile* file, ScheduleRecord* scratch) {
  file->bytes = ReadFileBytes(file->path);
  return file->bytes ? CountRecords(*file->bytes, file->level, scratch) : 0;
}

// What the reader finds once the first append has put its line end.
int RecordsAfterLineEnd(PlannedFile* file, ScheduleRecord* scratch) {
  const int inFile = file->beforeFromCache ? ReadPlannedFile(file, scratch) : file->before;
  if (!file->bytes) return 0;
  const std::string& bytes = *file->bytes;
  const std::string_view lastTwo =
      bytes.size() >= 2 ? std::string_view(bytes).substr(bytes.size() - 2) : std::string_view();
  const std::string_view padding = LineStartPadding(bytes.size(), lastTwo);
  // A CR LF after a last line without one changes no line: only a cut unit does.
  if (padding.size() <= 4) return inFile;
  return CountRecords(bytes + std::string(padding), file->level, scratch);
}

// ---- the move intent ----------------------------------------------------------------------

constexpr char kMoveIntentName[] = ".sched-move";  // hidden, and no data file's name
constexpr std::u16string_view kMoveIntentTag = u"schedule move 1";
constexpr std::u16string_view kMoveIntentEnd = u"end";
constexpr std::size_t kMoveIntentLines = 9;

struct MoveIntent {
  std::u16string oldFile;  // relative to the data folder
  std::u16string oldLine;
  uint64_t oldCount = 0;  // lines equal to the old record in its file before the move
  std::u16string newFile;
  std::u16string newLine;
  uint64_t newCount = 0;  // lines equal to the new record in its file before the move
  uint64_t newSize = 0;   // bytes of the new file before the move
};

// The intent's file name in the data folder, built as plain text: it is looked for before
// every level read.
std::string MoveIntentName(const std::filesystem::path& dataFolder) {
  std::string name = dataFolder.native();
  if (!name.empty() && name.back() != '/') name.push_back('/');
  name += kMoveIntentName;
  return name;
}

// The file of a record, relative to the data folder.
std::u16string RelativeFileOf(const ScheduleRecord& record) {
  return Ascii(ScheduleFilePathOf(std::filesystem::path(), record).generic_string().c_str());
}

std::u16string DecimalText(uint64_t value) {
  return Ascii(std::to_string(value).c_str());
}

// Plain decimal digits only (at most 18 of them): the intent is ours, anything else in a
// number means it isn't one.
std::optional<uint64_t> ReadCount(std::u16string_view text) {
  if (text.empty() || text.size() > 18) return std::nullopt;
  uint64_t value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - u'0');
  }
  return value;
}

// The size of a file in bytes: 0 when it doesn't exist, nullopt when it can't be told.
std::optional<uint64_t> FileSize(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return 0;
    return std::nullopt;
  }
  if (!S_ISREG(info.st_mode)) return std::nullopt;
  return static_cast<uint64_t>(info.st_size);
}

// How many lines of `path` read as a record equal to `record` (in its stored form); 0 for a
// missing file, nullopt for one that can't be read.  The whole file counts, also past what
// a level's slots hold.
std::optional<uint64_t> CountEqualLines(const std::filesystem::path& path,
                                        const ScheduleRecord& record) {
  auto scratch = std::make_unique<ScheduleRecord>();
  uint64_t count = 0;
  bool read = ForEachUtf16Line(path, [&](std::u16string_view line) {
    if (ParseInto(line, scratch.get()) && RecordsEqual(*scratch, record)) ++count;
    return true;
  });
  if (read) return count;
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR)) return 0;
  return std::nullopt;
}

std::string MoveIntentBytes(const MoveIntent& intent) {
  const std::u16string lines[] = {std::u16string(kMoveIntentTag),
                                  intent.oldFile,
                                  intent.oldLine,
                                  DecimalText(intent.oldCount),
                                  intent.newFile,
                                  intent.newLine,
                                  DecimalText(intent.newCount),
                                  DecimalText(intent.newSize),
                                  std::u16string(kMoveIntentEnd)};
  static_assert(std::size(lines) == kMoveIntentLines);
  std::string bytes;
  for (const std::u16string& line : lines) bytes += EncodeUtf16Line(line);
  return bytes;
}

// The intent with its two records, when the file is a whole and sound intent: both lines
// read as records that belong in the files it names, and the two files differ.
struct ReadIntent {
  MoveIntent intent;
  ScheduleRecord oldRecord{};
  ScheduleRecord newRecord{};
};

std::unique_ptr<ReadIntent> ReadMoveIntent(const std::filesystem::path& path) {
  std::optional<std::vector<std::u16string>> lines = ReadUtf16Lines(path);
  if (!lines.has_value() || lines->size() != kMoveIntentLines) return nullptr;
  const std::vector<std::u16string>& l = *lines;
  if (l[0] != kMoveIntentTag || l[8] != kMoveIntentEnd) return nullptr;
  auto read = std::make_unique<ReadIntent>();
  MoveIntent& intent = read->intent;
  intent.oldFile = l[1];
  intent.oldLine = l[2];
  intent.newFile = l[4];
  intent.newLine = l[5];
  std::optional<uint64_t> oldCount = ReadCount(l[3]);
  std::optional<uint64_t> newCount = ReadCount(l[6]);
  std::optional<uint64_t> newSize = ReadCount(l[7]);
  if (!oldCount || !newCount || !newSize) return nullptr;
  intent.oldCount = *oldCount;
  intent.newCount = *newCount;
  intent.newSize = *newSize;
  // The files are taken from the records, never from the names as written: settling only
  // ever touches schedule files of this data folder.
  if (!ParseInto(intent.oldLine, &read->oldRecord) ||
      !ParseInto(intent.newLine, &read->newRecord) ||
      RelativeFileOf(read->oldRecord) != intent.oldFile ||
      RelativeFileOf(read->newRecord) != intent.newFile || intent.oldFile == intent.newFile) {
    return nullptr;
  }
  return read;
}

// An intent this process could not settle, so that it isn't tried again at every read.
struct IntentIdentity {
  std::string path;
  dev_t device = 0;
  ino_t inode = 0;
  int64_t modifiedSeconds = 0;
  int64_t modifiedNanoseconds = 0;
  off_t size = 0;

  static IntentIdentity Of(const std::filesystem::path& path, const struct stat& info) {
    return {path.string(),       info.st_dev,          info.st_ino,
            info.st_mtim.tv_sec, info.st_mtim.tv_nsec, info.st_size};
  }
  bool operator==(const IntentIdentity&) const = default;
};

std::optional<IntentIdentity>& UnsettledIntent() {
  static std::optional<IntentIdentity> identity;
  return identity;
}

// Writes the intent of moving `oldRecord` out of its file into `newRecord`'s.
bool WriteMoveIntent(const std::filesystem::path& dataFolder, const ScheduleRecord& oldRecord,
                     const ScheduleRecord& newRecord) {
  MoveIntent intent;
  intent.oldFile = RelativeFileOf(oldRecord);
  intent.oldLine = FormatScheduleLine(oldRecord);
  intent.newFile = RelativeFileOf(newRecord);
  intent.newLine = FormatScheduleLine(newRecord);
  const std::filesystem::path newPath = ScheduleFilePathOf(dataFolder, newRecord);
  std::optional<uint64_t> oldCount =
      CountEqualLines(ScheduleFilePathOf(dataFolder, oldRecord), AsStored(oldRecord));
  std::optional<uint64_t> newCount = CountEqualLines(newPath, AsStored(newRecord));
  std::optional<uint64_t> newSize = FileSize(newPath);
  if (!oldCount || !newCount || !newSize) return false;
  intent.oldCount = *oldCount;
  intent.newCount = *newCount;
  intent.newSize = *newSize;
  if (!ReplaceFileAtomically(MoveIntentPath(dataFolder), MoveIntentBytes(intent))) return false;
  UnsettledIntent().reset();
  return true;
}

void RemoveMoveIntent(const std::filesystem::path& dataFolder) {
  ::unlink(MoveIntentPath(dataFolder).c_str());
}

// Empties the level of `store` that holds `record`'s file.
void ForgetFileOf(ScheduleStore* store, const ScheduleRecord& record) {
  if (store == nullptr) return;
  SpanLevel level = SpanLevelOf(record);
  if (HoldsFile(store, level, record.startYear, record.startMonth, record.startDay)) {
    ForgetLevel(store, level);
  }
}

// Takes the first record equal to `record` out of its file, as a delete does.  It works in
// a cache of its own, so that no level of the caller's is overwritten; made when first
// needed (after a crash) and kept, since settling may be needed again and again.  True
// also when there is no such record.
bool RemoveFirstEqual(const std::filesystem::path& dataFolder, const ScheduleRecord& record) {
  static std::unique_ptr<ScheduleStore> work;
  if (work == nullptr) work = std::make_unique<ScheduleStore>();
  SpanLevel level = SpanLevelOf(record);
  ReadLevel(level, record.startYear, record.startMonth, record.startDay, dataFolder, work.get());
  int found = FindCached(work.get(), level, record);
  if (found < 0) return true;
  LevelRecords(work.get(), level)[found].period = kDeletedMarker;
  return RewriteLevel(ScheduleFilePathOf(dataFolder, record), level, work.get(), nullptr);
}

// A kill in the middle of the append may leave the start of the new line (after the line
// end written first when the file lacked one) past the file's old end.  Such a piece, and
// only such a piece, is cut off again.  False when it is there but can't be cut.
bool CutTornAppend(const std::filesystem::path& path, uint64_t oldSize, std::u16string_view line) {
  const std::string lineBytes = EncodeUtf16Line(line);
  int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT || errno == ENOTDIR;
  struct stat info {};
  bool ok = true;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
      static_cast<uint64_t>(info.st_size) > oldSize &&
      static_cast<uint64_t>(info.st_size) - oldSize < lineBytes.size() + 6) {
    std::string tail(static_cast<std::size_t>(static_cast<uint64_t>(info.st_size) - oldSize), '\0');
    if (::pread(fd, tail.data(), tail.size(), static_cast<off_t>(oldSize)) ==
        static_cast<ssize_t>(tail.size())) {
      using namespace std::string_view_literals;
      for (std::string_view lineEnd : {""sv, "\r\0\n\0"sv, "\0\r\0\n\0"sv}) {
        std::string appended = std::string(lineEnd) + lineBytes;
        if (tail.size() < appended.size() && std::string_view(appended).starts_with(tail)) {
          ok = ::ftruncate(fd, static_cast<off_t>(oldSize)) == 0 && ::fsync(fd) == 0;
          break;
        }
      }
    }
  }
  if (::close(fd) != 0) ok = false;
  return ok;
}

// (a1, a2) compared with (b1, b2): -1, 0 or 1.
int ComparePair(int a1, int a2, int b1, int b2) {
  return CompareDates({0, a1, a2}, {0, b1, b2});
}

bool IsRuleDay(int period, int year, int month, int day, int weekday, int y, int m, int d) {
  if (period == weekday || period == kPeriodEveryDay) return true;
  if (IsEveryMonth(d)) return d - kRepeatMark == day;
  if (IsEveryYear(m)) return m - kRepeatMark == month && d == day;
  return d == day && (m == month || m == 0) && (y == 0 || y == year);
}

std::u16string DisplayText(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  while (!text.empty()) {
    if (text.starts_with(kStoredLineBreak)) {
      out.push_back(u'\n');
      text.remove_prefix(kStoredLineBreak.size());
    } else {
      out.push_back(text.front());
      text.remove_prefix(1);
    }
  }
  return out;
}

}  // namespace

// ---- records ----------------------------------------------------------------------------

std::u16string_view RecordText(const ScheduleRecord& record) {
  const char16_t* begin = record.text;
  const char16_t* end = std::find(begin, begin + kScheduleTextUnits, u'\0');
  return std::u16string_view(begin, static_cast<std::size_t>(end - begin));
}

void SetRecordText(ScheduleRecord* record, std::u16string_view text) {
  std::fill(std::begin(record->text), std::end(record->text), u'\0');
  StoreText(record, text);
}

bool RecordsEqual(const ScheduleRecord& a, const ScheduleRecord& b) {
  return a.startYear == b.startYear && a.startMonth == b.startMonth && a.startDay == b.startDay &&
         a.startHour == b.startHour && a.startMinute == b.startMinute && a.endYear == b.endYear &&
         a.endMonth == b.endMonth && a.endDay == b.endDay && a.endHour == b.endHour &&
         a.endMinute == b.endMinute && a.period == b.period && RecordText(a) == RecordText(b);
}

SpanLevel SpanLevelOf(const ScheduleRecord& r) {
  if (r.startYear < r.endYear || r.startYear == 0 || r.endYear == 0) return SpanLevel::Years;
  if (r.startMonth < r.endMonth || r.startMonth == 0 || r.endMonth == 0) return SpanLevel::Months;
  if (r.startDay >= r.endDay && r.startDay != 0 && r.endDay != 0) return SpanLevel::Day;
  return SpanLevel::Days;
}

int LevelCapacity(SpanLevel level) {
  return kLevelCapacities[Index(level)];
}

ScheduleRecord* LevelRecords(ScheduleStore* store, SpanLevel level) {
  return store->records + kLevelBase[Index(level)];
}

const ScheduleRecord* LevelRecords(const ScheduleStore* store, SpanLevel level) {
  return store->records + kLevelBase[Index(level)];
}

// ---- lines ------------------------------------------------------------------------------

bool ParseScheduleLine(std::u16string_view line, ScheduleRecord* record) {
  ScheduleRecord parsed{};
  if (!ParseInto(line, &parsed)) return false;
  *record = parsed;
  return true;
}

std::u16string FormatScheduleLine(const ScheduleRecord& r) {
  // Years get four digits so the columns hold for any year up to 9999; a negative
  // period is written "%.1d" so "-1" and "-2" stay two characters wide.
  const char* format = r.period >= 0 ? "(%.4d,%.2d,%.2d,%.2d,%.2d %.4d,%.2d,%.2d,%.2d,%.2d %.2d)("
                                     : "(%.4d,%.2d,%.2d,%.2d,%.2d %.4d,%.2d,%.2d,%.2d,%.2d %.1d)(";
  char head[160];
  std::snprintf(head, sizeof head, format, r.startYear, r.startMonth, r.startDay, r.startHour,
                r.startMinute, r.endYear, r.endMonth, r.endDay, r.endHour, r.endMinute, r.period);
  std::u16string line = Ascii(head);
  line += OneLineText(RecordText(r));
  line.push_back(u')');
  if (line.size() > kMaxLineUnits) line.resize(kMaxLineUnits);
  return line;
}

// ---- files and the cache ----------------------------------------------------------------

std::filesystem::path ScheduleFilePath(const std::filesystem::path& dataFolder, SpanLevel level,
                                       int year, int month, int day) {
  static constexpr char kFileName[] = "sched.txt";
  std::filesystem::path path = dataFolder;
  if (level != SpanLevel::Years) path /= std::to_string(year);
  if (level == SpanLevel::Days || level == SpanLevel::Day) {
    path /= std::to_string(StripRepeatMark(month));
  }
  if (level == SpanLevel::Day) path /= std::to_string(StripRepeatMark(day));
  path /= kFileName;
  return path;
}

std::filesystem::path ScheduleFilePathOf(const std::filesystem::path& dataFolder,
                                         const ScheduleRecord& record) {
  return ScheduleFilePath(dataFolder, SpanLevelOf(record), record.startYear, record.startMonth,
                          record.startDay);
}

int32_t LevelKey(SpanLevel level, int year, int month, int day) {
  if (level == SpanLevel::Years) return 1;
  month = StripRepeatMark(month);
  day = StripRepeatMark(day);
  if (year < 1 || year > 99999) return 0;
  if (level == SpanLevel::Months) return year;
  if (month < 1 || month > 99) return 0;
  if (level == SpanLevel::Days) return year * 100 + month;
  if (day < 1 || day > 99) return 0;
  return year * 10000 + month * 100 + day;
}

void ClearScheduleStore(ScheduleStore* store) {
  for (int i = 0; i < kScheduleLevelCount; ++i) {
    store->keys[i] = 0;
    store->counts[i] = 0;
  }
}

void ForgetLevel(ScheduleStore* store, SpanLevel level) {
  store->keys[Index(level)] = 0;
  store->counts[Index(level)] = 0;
}

void LoadLevel(SpanLevel level, int year, int month, int day,
               const std::filesystem::path& dataFolder, ScheduleStore* store) {
  (void)SettleScheduleMove(dataFolder, store);
  ReadLevel(level, year, month, day, dataFolder, store);
}

void EnsureLevel(SpanLevel level, int year, int month, int day,
                 const std::filesystem::path& dataFolder, ScheduleStore* store) {
  if (HoldsFile(store, level, year, month, day)) return;
  LoadLevel(level, year, month, day, dataFolder, store);
}

// ---- moves between files ------------------------------------------------------------------

std::filesystem::path MoveIntentPath(const std::filesystem::path& dataFolder) {
  return MoveIntentName(dataFolder);
}

MoveSettlement SettleScheduleMove(const std::filesystem::path& dataFolder, ScheduleStore* store) {
  const std::string name = MoveIntentName(dataFolder);
  struct stat info {};
  if (::stat(name.c_str(), &info) != 0) return MoveSettlement::kNone;
  const std::filesystem::path path = name;
  if (UnsettledIntent() == IntentIdentity::Of(path, info)) return MoveSettlement::kFailed;
  auto failed = [&]() {
    // Told again by its (unchanged) identity, so it is left alone until the next start.
    struct stat now {};
    if (::stat(path.c_str(), &now) == 0) UnsettledIntent() = IntentIdentity::Of(path, now);
    return MoveSettlement::kFailed;
  };
  auto drop = [&](MoveSettlement settled) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) return failed();
    UnsettledIntent().reset();
    return settled;
  };

  std::unique_ptr<ReadIntent> read = ReadMoveIntent(path);
  if (read == nullptr) return drop(MoveSettlement::kDropped);  // not a whole intent of ours
  const MoveIntent& intent = read->intent;
  const std::filesystem::path newPath = ScheduleFilePathOf(dataFolder, read->newRecord);
  std::optional<uint64_t> newNow = CountEqualLines(newPath, read->newRecord);
  std::optional<uint64_t> oldNow =
      CountEqualLines(ScheduleFilePathOf(dataFolder, read->oldRecord), read->oldRecord);
  if (!newNow || !oldNow) return failed();

  if (*newNow == intent.newCount + 1 && *oldNow == intent.oldCount) {
    // The new line is stored and the old one still there: finish the move.
    ForgetFileOf(store, read->oldRecord);
    if (!RemoveFirstEqual(dataFolder, read->oldRecord)) return failed();
    return drop(MoveSettlement::kCompleted);
  }
  if (*newNow == intent.newCount) {
    // Nothing was moved; a piece of the new line may still have to go.
    ForgetFileOf(store, read->newRecord);
    if (!CutTornAppend(newPath, intent.newSize, intent.newLine)) return failed();
  }
  return drop(MoveSettlement::kDropped);
}

// ---- operations -------------------------------------------------------------------------

bool ScheduleExists(const std::filesystem::path& dataFolder, const ScheduleRecord& record,
                    ScheduleStore* store) {
  EnsureLevelOf(dataFolder, record, store);
  return FindCached(store, SpanLevelOf(record), AsStored(record)) >= 0;
}

bool AddSchedule(const std::filesystem::path& dataFolder, const ScheduleRecord& record,
                 ScheduleStore* store) {
  SpanLevel level = SpanLevelOf(record);
  EnsureLevelOf(dataFolder, record, store);
  if (LevelFull(store, level)) {
    ShowLimitMessage(level);
    return false;
  }
  if (!FitsLine(record)) {
    ShowRecordDoesNotFitMessage();
    return false;
  }
  if (!AppendRecord(dataFolder, record, store)) {
    ShowOpenFailedMessage();
    return false;
  }
  return true;
}

bool AddSchedules(const std::filesystem::path& dataFolder, std::span<const ScheduleRecord> records,
                  ScheduleStore* store, std::size_t* refused) {
  std::size_t stopped = records.size();
  if (refused != nullptr) *refused = stopped;
  if (records.empty()) return true;
  auto refuse = [&](std::size_t at) {
    if (refused != nullptr) *refused = at;
    return false;
  };

  // What AddSchedule one record after another would see: a level holds its cached file
  // only until the first record of that level is added (an add empties the level, and
  // the next add reads the file again); a file holds the records read from it before
  // and those the batch adds to it.
  (void)SettleScheduleMove(dataFolder, store);
  auto scratch = std::make_unique<ScheduleRecord>();
  std::vector<PlannedFile> files;
  std::unordered_map<std::string, std::size_t> fileIndex;
  bool levelAdded[kScheduleLevelCount] = {};
  for (std::size_t i = 0; i < records.size(); ++i) {
    const ScheduleRecord& record = records[i];
    const SpanLevel level = SpanLevelOf(record);
    std::filesystem::path path = ScheduleFilePathOf(dataFolder, record);
    const auto [found, isNew] = fileIndex.try_emplace(path.native(), files.size());
    if (isNew) {
      PlannedFile& file = files.emplace_back();
      file.path = std::move(path);
      file.level = level;
      file.firstRecord = i;
      if (!levelAdded[Index(level)] &&
          HoldsFile(store, level, record.startYear, record.startMonth, record.startDay)) {
        file.before = CachedCount(store, level);
        file.beforeFromCache = true;
      } else {
        file.before = ReadPlannedFile(&file, scratch.get());
      }
    }
    PlannedFile& file = files[found->second];
    const int capacity = kLevelCapacities[Index(level)];
    const int held =
        file.added == 0 ? file.before : std::min(capacity, file.afterLineEnd + file.added);
    if (held >= capacity) {
      ShowLimitMessage(level);
      return refuse(i);
    }
    const std::u16string line = FormatScheduleLine(record);
    if (!FitsLine(record, line)) {
      ShowRecordDoesNotFitMessage();
      return refuse(i);
    }
    if (file.added == 0) file.afterLineEnd = RecordsAfterLineEnd(&file, scratch.get());
    file.lines += EncodeUtf16Line(line);
    ++file.added;
    levelAdded[Index(level)] = true;
  }

  AppendBatch batch(dataFolder, files.size());
  for (const PlannedFile& file : files) {
    if (!batch.Append(file.path, file.lines)) {
      stopped = file.firstRecord;
      break;
    }
  }
  const bool written = stopped == records.size() && batch.Commit();
  if (!written) (void)batch.Rollback();
  for (int level = 0; level < kScheduleLevelCount; ++level) {
    if (levelAdded[level]) ForgetLevel(store, static_cast<SpanLevel>(level));
  }
  if (!written) {
    ShowOpenFailedMessage();
    return refuse(stopped == records.size() ? 0 : stopped);
  }
  return true;
}

bool DeleteSchedule(const std::filesystem::path& dataFolder, const ScheduleRecord& record,
                    ScheduleStore* store) {
  SpanLevel level = SpanLevelOf(record);
  EnsureLevelOf(dataFolder, record, store);
  int found = FindCached(store, level, AsStored(record));
  if (found < 0) return false;
  LevelRecords(store, level)[found].period = kDeletedMarker;
  if (!RewriteLevel(ScheduleFilePathOf(dataFolder, record), level, store, nullptr)) {
    ShowOpenFailedMessage();
    return false;
  }
  return true;
}

bool ModifySchedule(const std::filesystem::path& dataFolder, const ScheduleRecord& oldRecord,
                    const ScheduleRecord& newRecord, ScheduleStore* store) {
  SpanLevel oldLevel = SpanLevelOf(oldRecord);
  SpanLevel newLevel = SpanLevelOf(newRecord);
  std::filesystem::path oldPath = ScheduleFilePathOf(dataFolder, oldRecord);
  std::filesystem::path newPath = ScheduleFilePathOf(dataFolder, newRecord);

  if (oldLevel == newLevel && oldPath == newPath) {
    // One file: the old record out and the new one at the end, in a single rewrite.
    EnsureLevelOf(dataFolder, newRecord, store);
    int found = FindCached(store, newLevel, AsStored(oldRecord));
    if (found < 0 && LevelFull(store, newLevel)) {
      ShowLimitMessage(newLevel);
      return false;
    }
    if (!FitsLine(newRecord)) {
      ShowRecordDoesNotFitMessage();
      return false;
    }
    if (found < 0) {
      // Nothing to take out: the change adds the new record.  It is appended, since the
      // level may be empty only because its file couldn't be read, and a rewrite from it
      // would put the one new record in place of all the file's others.
      if (!AppendRecord(dataFolder, newRecord, store)) {
        ShowOpenFailedMessage();
        return false;
      }
      return true;
    }
    LevelRecords(store, newLevel)[found].period = kDeletedMarker;
    if (!RewriteLevel(newPath, newLevel, store, &newRecord)) {
      ShowOpenFailedMessage();
      return false;
    }
    return true;
  }

  // Two files: store the new record first, so a failure never loses the old one, and
  // guard the two writes with a move intent, so a crash between them never leaves both.
  // An intent left by an earlier crash is settled before this one takes its place (one that
  // can't be settled now is given up: it stands for a record shown twice, never for one lost).
  (void)SettleScheduleMove(dataFolder, store);
  EnsureLevelOf(dataFolder, newRecord, store);
  if (LevelFull(store, newLevel)) {
    ShowLimitMessage(newLevel);
    return false;
  }
  if (!FitsLine(newRecord)) {
    ShowRecordDoesNotFitMessage();
    return false;
  }
  EnsureLevelOf(dataFolder, oldRecord, store);
  if (FindCached(store, oldLevel, AsStored(oldRecord)) < 0) {
    // Nothing to take away: the change is an addition.
    if (!AppendRecord(dataFolder, newRecord, store)) {
      ShowOpenFailedMessage();
      return false;
    }
    return true;
  }
  if (!WriteMoveIntent(dataFolder, oldRecord, newRecord)) {
    ShowOpenFailedMessage();
    return false;
  }
  if (!AppendRecord(dataFolder, newRecord, store)) {
    RemoveMoveIntent(dataFolder);
    ShowOpenFailedMessage();
    return false;
  }
  EnsureLevelOf(dataFolder, oldRecord, store, Settling::kSkip);
  int found = FindCached(store, oldLevel, AsStored(oldRecord));
  if (found >= 0) {
    LevelRecords(store, oldLevel)[found].period = kDeletedMarker;
    if (!RewriteLevel(oldPath, oldLevel, store, nullptr)) {
      // The old record couldn't be removed: take the new one back out so the files are as
      // before.  If that fails too, both records stay and so does the intent, which
      // finishes the move once the old file can be written again.
      const ScheduleRecord stored = AsStored(newRecord);
      EnsureLevelOf(dataFolder, newRecord, store, Settling::kSkip);
      ScheduleRecord* records = LevelRecords(store, newLevel);
      for (int i = CachedCount(store, newLevel) - 1; i >= 0; --i) {
        if (RecordsEqual(records[i], stored)) {
          records[i].period = kDeletedMarker;
          if (RewriteLevel(newPath, newLevel, store, nullptr)) RemoveMoveIntent(dataFolder);
          break;
        }
      }
      ShowOpenFailedMessage();
      return false;
    }
  }
  RemoveMoveIntent(dataFolder);
  return true;
}

// ---- one date's list --------------------------------------------------------------------

bool DateMatches(const ScheduleRecord& r, int year, int month, int day, int weekday) {
  bool everyYear = IsEveryYear(r.startMonth);
  bool everyMonth = IsEveryMonth(r.startDay);
  if (everyYear && everyMonth) {
    return r.startYear <= year && year <= r.endYear && r.startMonth - kRepeatMark <= month &&
           month <= r.endMonth - kRepeatMark && r.startDay - kRepeatMark <= day &&
           day <= r.endDay - kRepeatMark;
  }
  if (everyMonth) {
    return r.startDay - kRepeatMark <= day && day <= r.endDay - kRepeatMark &&
           ComparePair(r.startYear, r.startMonth, year, month) <= 0 &&
           ComparePair(year, month, r.endYear, r.endMonth) <= 0;
  }
  if (everyYear) {
    return r.startYear <= year && year <= r.endYear &&
           ComparePair(r.startMonth - kRepeatMark, r.startDay, month, day) <= 0 &&
           ComparePair(month, day, r.endMonth - kRepeatMark, r.endDay) <= 0;
  }
  YearMonthDay date{year, month, day};
  return YearMonthDay{r.startYear, r.startMonth, r.startDay} <= date &&
         date <= YearMonthDay{r.endYear, r.endMonth, r.endDay} &&
         (r.period == weekday || r.period < 0);
}

bool IsStartDay(const ScheduleRecord& r, int year, int month, int day, int weekday) {
  return IsRuleDay(r.period, year, month, day, weekday, r.startYear, r.startMonth, r.startDay);
}

bool IsEndDay(const ScheduleRecord& r, int year, int month, int day, int weekday) {
  return IsRuleDay(r.period, year, month, day, weekday, r.endYear, r.endMonth, r.endDay);
}

namespace {

// Hands `take` an entry for every record that falls on the date, in collection order:
// the levels Day, Days, Months, Years, each in cache order.
template <typename Take>
void ScanDay(const std::filesystem::path& dataFolder, int year, int month, int day, int weekday,
             ScheduleStore* store, Take take) {
  static constexpr SpanLevel kScanOrder[] = {SpanLevel::Day, SpanLevel::Days, SpanLevel::Months,
                                             SpanLevel::Years};
  // A move left half done by a crash is settled once, before any file is read (settling
  // empties a level holding a file it changed, so the levels are looked at after it).
  auto holds = [&](SpanLevel level) { return HoldsFile(store, level, year, month, day); };
  if (!std::all_of(std::begin(kScanOrder), std::end(kScanOrder), holds)) {
    (void)SettleScheduleMove(dataFolder, store);
  }
  for (SpanLevel level : kScanOrder) {
    if (!holds(level)) ReadLevel(level, year, month, day, dataFolder, store);
  }

  for (SpanLevel level : kScanOrder) {
    const ScheduleRecord* records = LevelRecords(store, level);
    int count = CachedCount(store, level);
    for (int i = 0; i < count; ++i) {
      const ScheduleRecord& r = records[i];
      if (!DateMatches(r, year, month, day, weekday)) continue;
      int startHour = 0, startMinute = 0, endHour = 0, endMinute = 0;
      if (r.startHour != 0 || r.endHour != 0) {
        startHour = r.startHour;
        startMinute = r.startMinute;
        endHour = r.endHour;
        endMinute = r.endMinute;
        if (!IsStartDay(r, year, month, day, weekday)) startHour = startMinute = 0;
        if (!IsEndDay(r, year, month, day, weekday)) {
          endHour = 24;
          endMinute = 0;
        }
      }
      int startMinutes = startHour * 60 + startMinute;
      int endMinutes = endHour * 60 + endMinute;
      if (endMinutes < startMinutes) continue;  // the window ends before it starts

      DayEntry* entry = take();
      if (entry == nullptr) continue;
      entry->startHour = startHour;
      entry->startMinute = startMinute;
      entry->endHour = endHour;
      entry->endMinute = endMinute;
      entry->startMinutes = startMinutes;
      entry->endMinutes = endMinutes;
      entry->length = endMinutes - startMinutes;
      entry->allDay =
          (r.startHour == 0 && r.startMinute == 0 && r.endHour == 0 && r.endMinute == 0) ? 1 : 0;
      entry->displayText = DisplayText(RecordText(r));
      entry->record = r;
    }
  }
}

// Display order: all-day entries first, then the rest by start time.  Used with a stable
// sort, which keeps collection order among all-day entries and equal start times.
bool ShownBefore(const DayEntry& x, const DayEntry& y) {
  if (x.allDay != y.allDay) return x.allDay > y.allDay;
  if (x.allDay) return false;
  return x.startMinutes < y.startMinutes;
}

}  // namespace

void CollectDaySchedules(const std::filesystem::path& dataFolder, int year, int month, int day,
                         int weekday, ScheduleStore* store, DayScheduleList* list) {
  list->count = 0;
  list->total = 0;
  list->overflow = 0;
  ScanDay(dataFolder, year, month, day, weekday, store, [list]() -> DayEntry* {
    ++list->total;
    if (list->count >= kDayListCapacity) {
      list->overflow = 1;
      return nullptr;
    }
    return &list->entries[list->count++];
  });

  std::iota(list->order.begin(), list->order.begin() + list->count, 0);
  std::fill(list->order.begin() + list->count, list->order.end(), 0);
  std::stable_sort(list->order.begin(), list->order.begin() + list->count, [list](int a, int b) {
    return ShownBefore(list->entries[a], list->entries[b]);
  });
}

std::vector<DayEntry> CollectAllDaySchedules(const std::filesystem::path& dataFolder, int year,
                                             int month, int day, int weekday,
                                             ScheduleStore* store) {
  std::vector<DayEntry> found;
  found.reserve(kDayListCapacity);  // a usual day never grows it
  ScanDay(dataFolder, year, month, day, weekday, store,
          [&found]() -> DayEntry* { return &found.emplace_back(); });
  // Sorted by index, so that each entry (a whole record of text) moves once.
  std::vector<int> order(found.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&found](int a, int b) {
    return ShownBefore(found[size_t(a)], found[size_t(b)]);
  });
  std::vector<DayEntry> entries;
  entries.reserve(found.size());
  for (int i : order) entries.push_back(std::move(found[size_t(i)]));
  return entries;
}

}  // namespace yk
