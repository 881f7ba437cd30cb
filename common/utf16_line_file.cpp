// utf16_line_file.cpp — reading and writing the UTF-16LE, CR LF data files.
#include "common/utf16_line_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>

#include "common/atomic_file.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace yk {
namespace {

constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';

// UTF-16LE bytes as units; a trailing odd byte is dropped.
std::u16string DecodeUtf16Le(std::string_view bytes) {
  std::u16string units(bytes.size() / 2, u'\0');
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(units.data(), bytes.data(), units.size() * 2);
  } else {
    for (std::size_t i = 0; i < units.size(); ++i) {
      units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                       (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    }
  }
  return units;
}

// Hands out one line in pieces of at most kMaxLineUnits; false when the visitor stops.
bool VisitPieces(std::u16string_view line, const LineVisitor& visit) {
  if (line.size() <= kMaxLineUnits) return visit(line);
  while (!line.empty()) {
    std::size_t take = line.size() < kMaxLineUnits ? line.size() : kMaxLineUnits;
    if (!visit(line.substr(0, take))) return false;
    line.remove_prefix(take);
  }
  return true;
}

// The LFs of a run of units, in order.  They are found a block of 64 units at a time and
// a batch ahead, so that the line loop runs without a search (and its hard-to-guess end)
// per line.
class LineEnds {
 public:
  explicit LineEnds(std::u16string_view units) : data_(units.data()), size_(units.size()) {}

  // Position of the next LF, or the size of the run when there is none.
  std::size_t Next() {
    while (next_ == count_) {
      if (scanned_ >= size_) return size_;
      Refill();
    }
    return ends_[next_++];
  }

 private:
  static constexpr std::size_t kBlock = 64;
  static constexpr std::size_t kBatch = 256;
  static constexpr uint64_t kTop = uint64_t{1} << 63;

  // Bit i set when unit i of the block is a LF.
  static uint64_t BlockMask(const char16_t* block) {
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi16(static_cast<short>(kLf));
    auto sixteen = [&](std::size_t from) {
      const __m128i* p = reinterpret_cast<const __m128i*>(block + from);
      const __m128i low = _mm_cmpeq_epi16(_mm_loadu_si128(p), lf);
      const __m128i high = _mm_cmpeq_epi16(_mm_loadu_si128(p + 1), lf);
      return static_cast<uint64_t>(
          static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(low, high))));
    };
    return sixteen(0) | sixteen(16) << 16 | sixteen(32) << 32 | sixteen(48) << 48;
#else
    uint64_t mask = 0;
    for (std::size_t i = 0; i < kBlock; ++i) mask |= uint64_t{block[i] == kLf} << i;
    return mask;
#endif
  }

  void Refill() {
    next_ = count_ = 0;
    while (scanned_ < size_ && count_ < kBatch) {
      if (scanned_ + kBlock > size_) {
        for (; scanned_ < size_; ++scanned_) {
          if (data_[scanned_] == kLf) ends_[count_++] = scanned_;
        }
        break;
      }
      const uint64_t mask = BlockMask(data_ + scanned_);
      // Lines are seldom shorter than 32 units: the first two ends of a block are stored
      // without a test (a slot past the count is simply overwritten later).
      uint64_t rest = mask & (mask - 1);
      ends_[count_] = scanned_ + static_cast<std::size_t>(__builtin_ctzll(mask | kTop));
      ends_[count_ + 1] = scanned_ + static_cast<std::size_t>(__builtin_ctzll(rest | kTop));
      count_ += static_cast<std::size_t>(mask != 0) + static_cast<std::size_t>(rest != 0);
      for (rest &= rest - 1; rest != 0; rest &= rest - 1) {
        ends_[count_++] = scanned_ + static_cast<std::size_t>(__builtin_ctzll(rest));
      }
      scanned_ += kBlock;
    }
  }

  const char16_t* data_;
  std::size_t size_;
  std::size_t scanned_ = 0;  // units searched so far
  std::size_t next_ = 0;     // next of ends_ to hand out
  std::size_t count_ = 0;    // ends_ found in the batch
  std::size_t ends_[kBatch + kBlock + 2];
};

// Visits the lines of `units` and returns how many units they took.  Unless `atEnd`, the
// unfinished line at the end is left for later, except for the 2047-unit pieces it is
// sure to give (more than 2048 units without a LF: at most a CR can still come off).
// *stopped is set when the visitor stops.
std::size_t VisitAvailableLines(std::u16string_view units, bool atEnd, const LineVisitor& visit,
                                bool* stopped) {
  LineEnds ends(units);
  std::size_t consumed = 0;
  while (consumed < units.size()) {
    const std::size_t end = ends.Next();  // LFs come in order, each past the line before
    if (end == units.size() && !atEnd) {
      std::u16string_view rest = units.substr(consumed);
      while (rest.size() > kMaxLineUnits + 1) {
        if (!visit(rest.substr(0, kMaxLineUnits))) {
          *stopped = true;
          return consumed;
        }
        consumed += kMaxLineUnits;
        rest.remove_prefix(kMaxLineUnits);
      }
      return consumed;
    }
    std::u16string_view line = units.substr(consumed, end - consumed);
    if (!line.empty() && line.back() == kCr) line.remove_suffix(1);
    if (!VisitPieces(line, visit)) {
      *stopped = true;
      return consumed;
    }
    consumed = end == units.size() ? end : end + 1;
  }
  return consumed;
}

constexpr std::size_t kChunkBytes = 64 * 1024;

// The reading buffer.  Each thread keeps one between calls, so reading a file doesn't
// allocate; a visitor that reads another file meanwhile gets a buffer of its own.
class ChunkBuffer {
 public:
  ChunkBuffer()
      : units_(spare_ != nullptr ? std::move(spare_) : std::make_unique<char16_t[]>(kChunkUnits)) {}
  ~ChunkBuffer() {
    if (spare_ == nullptr) spare_ = std::move(units_);
  }
  ChunkBuffer(const ChunkBuffer&) = delete;
  ChunkBuffer& operator=(const ChunkBuffer&) = delete;
  char16_t* units() { return units_.get(); }

 private:
  static constexpr std::size_t kChunkUnits = kChunkBytes / 2;
  static thread_local std::unique_ptr<char16_t[]> spare_;
  std::unique_ptr<char16_t[]> units_;
};

thread_local std::unique_ptr<char16_t[]> ChunkBuffer::spare_;

}  // namespace

void ForEachUtf16LineInBytes(std::string_view bytes, const LineVisitor& visit) {
  bool stopped = false;
  (void)VisitAvailableLines(DecodeUtf16Le(bytes), true, visit, &stopped);
}

bool ForEachUtf16Line(const std::filesystem::path& path, const LineVisitor& visit) {
  // The units are used in place as they were read: the files are little-endian, and so
  // are the machines this runs on.
  static_assert(std::endian::native == std::endian::little);
  // Non-blocking, so that a pipe in the file's place is refused below rather than waited
  // on; reads of a regular file are not affected by it.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return false;
  }
  // Read in chunks, so a huge file costs no more memory than a small one and reading
  // stops as soon as the visitor has what it wants.  64 KB holds a full level's file.
  ChunkBuffer buffer;
  char* bytes = reinterpret_cast<char*>(buffer.units());
  std::size_t have = 0;   // bytes in the buffer
  std::size_t total = 0;  // bytes read from the file
  const auto sizeAtOpen = static_cast<std::size_t>(info.st_size);
  bool atEnd = false;
  bool stopped = false;
  while (!atEnd && !stopped) {
    const std::size_t asked = kChunkBytes - have;
    ssize_t got = ::read(fd, bytes + have, asked);
    if (got < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return false;  // a file that can't be read whole counts as one that can't be read
    }
    if (got == 0) {
      atEnd = true;
    } else {
      have += static_cast<std::size_t>(got);
      total += static_cast<std::size_t>(got);
      // A read that comes back short once the size the file had at opening is reached
      // has met the end: no further read is needed to learn it.
      atEnd = static_cast<std::size_t>(got) < asked && total >= sizeAtOpen;
    }
    std::u16string_view units(buffer.units(), have / 2);
    std::size_t used = VisitAvailableLines(units, atEnd, visit, &stopped) * 2;
    std::memmove(bytes, bytes + used, have - used);
    have -= used;
  }
  ::close(fd);
  return true;
}

std::optional<std::vector<std::u16string>> ReadUtf16Lines(const std::filesystem::path& path) {
  std::vector<std::u16string> lines;
  bool opened = ForEachUtf16Line(path, [&lines](std::u16string_view line) {
    lines.emplace_back(line);
    return true;
  });
  if (!opened) return std::nullopt;
  return lines;
}

std::string EncodeUtf16Le(std::u16string_view text) {
  std::string bytes(text.size() * 2, '\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    bytes[2 * i] = static_cast<char>(text[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>(text[i] >> 8);
  }
  return bytes;
}

std::string EncodeUtf16Line(std::u16string_view text) {
  std::string bytes = EncodeUtf16Le(text);
  bytes.append("\r\0\n\0", 4);
  return bytes;
}

std::optional<std::string> ReadFileBytes(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return std::nullopt;
  }
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(info.st_size));
  char chunk[16384];
  for (;;) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (got == 0) break;
    bytes.append(chunk, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return bytes;
}

std::string_view LineStartPadding(uint64_t size, std::string_view lastTwoBytes) {
  using namespace std::string_view_literals;
  if (size % 2 != 0) return "\0\r\0\n\0"sv;
  if (size >= 2 && lastTwoBytes != "\n\0"sv) return "\r\0\n\0"sv;
  return {};
}

bool AppendUtf16Line(const std::filesystem::path& path, std::u16string_view text) {
  return AppendEncodedLines(path, EncodeUtf16Line(text), AppendFlush::kNow).has_value();
}

std::optional<Utf16Append> AppendEncodedLines(const std::filesystem::path& path,
                                              std::string_view lines, AppendFlush flush) {
  Utf16Append append;
  // Made exclusively when missing, so that the append knows whether it made the file.
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0666);
  if (fd >= 0) {
    append.created = true;
  } else if (errno == EEXIST) {
    fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CLOEXEC);
  }
  if (fd < 0) return std::nullopt;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return std::nullopt;
  }
  append.device = static_cast<uint64_t>(info.st_dev);
  // The new lines must start on a line of their own and on a unit boundary.
  const off_t size = info.st_size;
  char last[2] = {};
  if (size >= 2 && ::pread(fd, last, 2, size - 2) != 2) {
    ::close(fd);
    return std::nullopt;
  }
  append.bytes = LineStartPadding(static_cast<uint64_t>(size), std::string_view(last, 2));
  append.bytes += lines;

  // One write, so a process killed on the way leaves either nothing or the whole lines
  // in practice; a torn tail would lack its CR LF and be set apart by the next append.
  const char* data = append.bytes.data();
  std::size_t left = append.bytes.size();
  bool ok = true;
  while (left > 0) {
    ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  // Where the bytes went: the end they reached, less their length (another writer may
  // have appended between the look at the size and the write).
  const off_t end = ok ? ::lseek(fd, 0, SEEK_CUR) : -1;
  append.at = end >= static_cast<off_t>(append.bytes.size())
                  ? static_cast<uint64_t>(end) - append.bytes.size()
                  : static_cast<uint64_t>(size);
  if (ok && flush == AppendFlush::kNow && ::fsync(fd) != 0) ok = false;
  // Lines that didn't get out whole (a full disk) are taken back off the end.
  if (!ok && ::ftruncate(fd, size) == 0) ::fsync(fd);
  if (::close(fd) != 0) ok = false;
  if (!ok) {
    if (append.created) ::unlink(path.c_str());  // as it was: missing
    return std::nullopt;
  }
  return append;
}

bool ReplaceWithUtf16Lines(const std::filesystem::path& path,
                           const std::vector<std::u16string>& lines) {
  std::string bytes;
  for (const std::u16string& line : lines) bytes += EncodeUtf16Line(line);
  return ReplaceFileAtomically(path, bytes);
}

}  // namespace yk
