#include "plugins/tenki/ansi_lines.h"

#include <algorithm>

#include "platform/text_codec.h"
#include "plugins/tenki/file_bytes.h"

namespace yk::tenki {
namespace {

// The first byte of a CP932 double-byte character.
bool IsLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool VisitPiece(std::string_view piece, const AnsiLineVisitor& visit) {
  std::u16string text = platform::Cp932ToUtf16(piece);
  if (text.size() > kMaxAnsiLineUnits) text.resize(kMaxAnsiLineUnits);
  std::replace(text.begin(), text.end(), u'\0', u'\uFFFD');
  return visit(text);
}

// Hands out one line (without its line end) in pieces of at most kMaxAnsiLineBytes.
bool VisitLine(std::string_view line, const AnsiLineVisitor& visit) {
  size_t start = 0;
  for (size_t i = 0; i < line.size();) {
    const size_t width =
        IsLeadByte(static_cast<unsigned char>(line[i])) && i + 1 < line.size() ? 2 : 1;
    if (i + width - start > kMaxAnsiLineBytes) {
      if (!VisitPiece(line.substr(start, i - start), visit)) return false;
      start = i;
    }
    i += width;
  }
  return VisitPiece(line.substr(start), visit);
}

}  // namespace

void ForEachAnsiLineInBytes(std::string_view bytes, const AnsiLineVisitor& visit) {
  while (!bytes.empty()) {
    const size_t feed = bytes.find('\n');
    std::string_view line = bytes.substr(0, feed);
    bytes.remove_prefix(feed == std::string_view::npos ? bytes.size() : feed + 1);
    while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!VisitLine(line, visit)) return;
  }
}

bool ForEachAnsiLine(const std::filesystem::path& file, const AnsiLineVisitor& visit) {
  std::string bytes;
  if (ReadFileBytes(file, kMaxAnsiFileBytes, &bytes) != FileRead::kRead) return false;
  ForEachAnsiLineInBytes(bytes, visit);
  return true;
}

std::vector<std::u16string> AnsiLines(std::string_view bytes) {
  std::vector<std::u16string> lines;
  ForEachAnsiLineInBytes(bytes, [&](std::u16string_view line) {
    lines.emplace_back(line);
    return true;
  });
  return lines;
}

}  // namespace yk::tenki
