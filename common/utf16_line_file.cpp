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

// Position of the next LF in units, or units.size().  On little-endian machines memchr
// finds candidate 0x0A bytes fast; a hit counts only at a unit's low byte with a zero
// high byte.
std::size_t FindLf(std::u16string_view units) {
  if constexpr (std::endian::native == std::endian::little) {
    const char* bytes = reinterpret_cast<const char*>(units.data());
    std::size_t size = units.size() * 2;
    std::size_t from = 0;
    while (from < size) {
      const void* hit = std::memchr(bytes + from, '\n', size - from);
      if (hit == nullptr) break;
      std::size_t at = static_cast<std::size_t>(static_cast<const char*>(hit) - bytes);
      if (at % 2 == 0 && bytes[at + 1] == '\0') return at / 2;
      from = at + 1;
    }
    return units.size();
  } else {
    std::size_t at = units.find(kLf);
    return at == std::u16string_view::npos ? units.size() : at;
  }
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
  constexpr std::size_t kChunkBytes = 64 * 1024;
  std::unique_ptr<char16_t[]> buffer(new char16_t[kChunkBytes / 2]);
  char* bytes = reinterpret_cast<char*>(buffer.get());
  std::size_t have = 0;  // bytes in the buffer
  bool atEnd = false;
  bool stopped = false;
  while (!atEnd && !stopped) {
    ssize_t got = ::read(fd, bytes + have, kChunkBytes - have);
    if (got < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return false;  // a file that can't be read whole counts as one that can't be read
    }
    if (got == 0) {
      atEnd = true;
    } else {
      have += static_cast<std::size_t>(got);
    }
    std::u16string_view units(buffer.get(), have / 2);
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
