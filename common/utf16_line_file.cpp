// utf16_line_file.cpp — reading and writing the UTF-16LE, CR LF data files.
#include "common/utf16_line_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
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

// Position of the next LF in units, or units.size().
std::size_t FindLf(std::u16string_view units) {
  const char16_t* data = units.data();
  const std::size_t size = units.size();
  std::size_t at = 0;
#if defined(__SSE2__)
  // Thirty-two units a step, compared in place; lines are short, so this beats a call out.
  const __m128i lf = _mm_set1_epi16(static_cast<short>(kLf));
  auto block = [&](std::size_t from) {
    const __m128i* p = reinterpret_cast<const __m128i*>(data + from);
    return _mm_movemask_epi8(_mm_packs_epi16(_mm_cmpeq_epi16(_mm_loadu_si128(p), lf),
                                             _mm_cmpeq_epi16(_mm_loadu_si128(p + 1), lf)));
  };
  for (; at + 32 <= size; at += 32) {
    const unsigned mask =
        static_cast<unsigned>(block(at)) | (static_cast<unsigned>(block(at + 16)) << 16);
    if (mask != 0) return at + static_cast<std::size_t>(__builtin_ctz(mask));
  }
  if (at + 16 <= size) {
    const unsigned mask = static_cast<unsigned>(block(at));
    if (mask != 0) return at + static_cast<std::size_t>(__builtin_ctz(mask));
    at += 16;
  }
#endif
  for (; at < size; ++at) {
    if (data[at] == kLf) return at;
  }
  return size;
}

// Visits the lines of `units` and returns how many units they took.  Unless `atEnd`, the
// unfinished line at the end is left for later, except for the 2047-unit pieces it is
// sure to give (more than 2048 units without a LF: at most a CR can still come off).
// *stopped is set when the visitor stops.
std::size_t VisitAvailableLines(std::u16string_view units, bool atEnd, const LineVisitor& visit,
                                bool* stopped) {
  std::size_t consumed = 0;
  while (consumed < units.size()) {
    std::u16string_view rest = units.substr(consumed);
    std::size_t end = FindLf(rest);
    if (end == rest.size() && !atEnd) {
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
    std::u16string_view line = rest.substr(0, end);
    if (!line.empty() && line.back() == kCr) line.remove_suffix(1);
    if (!VisitPieces(line, visit)) {
      *stopped = true;
      return consumed;
    }
    consumed += end == rest.size() ? end : end + 1;
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
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
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

bool AppendUtf16Line(const std::filesystem::path& path, std::u16string_view text) {
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return false;
  }
  // The new line must start on a line of its own and on a unit boundary: a file cut in
  // the middle of a unit gets a zero byte, one whose last line lacks CR LF gets CR LF.
  std::string bytes;
  off_t size = info.st_size;
  if (size % 2 != 0) {
    bytes.push_back('\0');
    bytes.append("\r\0\n\0", 4);
  } else if (size >= 2) {
    char last[2] = {};
    if (::pread(fd, last, 2, size - 2) != 2) {
      ::close(fd);
      return false;
    }
    if (last[0] != '\n' || last[1] != '\0') bytes.append("\r\0\n\0", 4);
  }
  bytes += EncodeUtf16Line(text);

  // One write, so a process killed on the way leaves either nothing or the whole line
  // in practice; a torn tail would lack its CR LF and be set apart by the next append.
  const char* data = bytes.data();
  std::size_t left = bytes.size();
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
  if (ok && ::fsync(fd) != 0) ok = false;
  // A line that didn't get out whole (a full disk) is taken back off the end.
  if (!ok && ::ftruncate(fd, size) == 0) ::fsync(fd);
  if (::close(fd) != 0) ok = false;
  return ok;
}

bool ReplaceWithUtf16Lines(const std::filesystem::path& path,
                           const std::vector<std::u16string>& lines) {
  std::string bytes;
  for (const std::u16string& line : lines) bytes += EncodeUtf16Line(line);
  return ReplaceFileAtomically(path, bytes);
}

}  // namespace yk
