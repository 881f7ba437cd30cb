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

// Units read from a file; left uninitialised until read into (a file can be large, and
// zeroing the buffer first costs as much as the read).
struct UnitBuffer {
  std::unique_ptr<char16_t[]> units;
  std::size_t capacity = 0;  // in units
  std::size_t size = 0;      // in units

  void Grow(std::size_t newCapacity) {
    std::unique_ptr<char16_t[]> bigger(new char16_t[newCapacity]);
    if (size > 0) std::memcpy(bigger.get(), units.get(), size * sizeof(char16_t));
    units = std::move(bigger);
    capacity = newCapacity;
  }
  std::u16string_view view() const { return std::u16string_view(units.get(), size); }
};

// The whole file as UTF-16 units (a trailing odd byte dropped), or false when it can't be
// opened or read.  The bytes are read straight into the units' storage.
bool ReadWholeFile(const std::filesystem::path& path, UnitBuffer* buffer) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return false;
  }
  // Room for one unit more than the size says, so a file that grew meanwhile is noticed.
  buffer->Grow(static_cast<std::size_t>(info.st_size) / 2 + 2);
  std::size_t used = 0;  // bytes
  while (true) {
    std::size_t room = buffer->capacity * 2;
    if (used == room) {
      buffer->size = used / 2;
      buffer->Grow(buffer->capacity * 2);
      continue;
    }
    ssize_t got = ::read(fd, reinterpret_cast<char*>(buffer->units.get()) + used, room - used);
    if (got < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return false;
    }
    if (got == 0) break;
    used += static_cast<std::size_t>(got);
  }
  ::close(fd);
  buffer->size = used / 2;
  if constexpr (std::endian::native != std::endian::little) {
    for (std::size_t i = 0; i < buffer->size; ++i) {
      char16_t unit = buffer->units[i];
      buffer->units[i] = static_cast<char16_t>((unit >> 8) | (unit << 8));
    }
  }
  return true;
}

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

void VisitLines(std::u16string_view rest, const LineVisitor& visit) {
  while (!rest.empty()) {
    std::size_t end = FindLf(rest);
    std::u16string_view line = rest.substr(0, end);
    if (!line.empty() && line.back() == kCr) line.remove_suffix(1);
    if (!VisitPieces(line, visit)) return;
    if (end == rest.size()) break;
    rest.remove_prefix(end + 1);
  }
}

}  // namespace

void ForEachUtf16LineInBytes(std::string_view bytes, const LineVisitor& visit) {
  VisitLines(DecodeUtf16Le(bytes), visit);
}

bool ForEachUtf16Line(const std::filesystem::path& path, const LineVisitor& visit) {
  UnitBuffer buffer;
  if (!ReadWholeFile(path, &buffer)) return false;
  VisitLines(buffer.view(), visit);
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
