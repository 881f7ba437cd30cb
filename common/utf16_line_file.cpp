// utf16_line_file.cpp — reading and writing the UTF-16LE, CR LF data files.
#include "common/utf16_line_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstring>

#include "common/atomic_file.h"

namespace yk {
namespace {

constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';

// The whole file, or false when it can't be opened or read.
bool ReadWholeFile(const std::filesystem::path& path, std::string* bytes) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return false;
  }
  bytes->clear();
  if (info.st_size > 0) bytes->reserve(static_cast<std::size_t>(info.st_size));
  char chunk[65536];
  while (true) {
    ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return false;
    }
    if (got == 0) break;
    bytes->append(chunk, static_cast<std::size_t>(got));
  }
  ::close(fd);
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

}  // namespace

void ForEachUtf16LineInBytes(std::string_view bytes, const LineVisitor& visit) {
  std::u16string units = DecodeUtf16Le(bytes);
  std::u16string_view rest(units);
  while (!rest.empty()) {
    std::size_t end = rest.find(kLf);
    std::u16string_view line = rest.substr(0, end);
    if (!line.empty() && line.back() == kCr) line.remove_suffix(1);
    if (!VisitPieces(line, visit)) return;
    if (end == std::u16string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
}

bool ForEachUtf16Line(const std::filesystem::path& path, const LineVisitor& visit) {
  std::string bytes;
  if (!ReadWholeFile(path, &bytes)) return false;
  ForEachUtf16LineInBytes(bytes, visit);
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
