// The table of a tr command: its from-list and to-list expanded into (from, to) pairs of
// 16-bit character values. No operation applies the table yet.
#include "plugins/search/regex/regex_internal.h"

namespace yk::regex_detail {

namespace {

constexpr std::size_t kTableStep = 256;
constexpr std::uint32_t kMaxRange = 255;

// Reads one character value (escapes decoded, a double-byte character whole under k).
std::uint32_t ReadValue(const std::uint8_t* text, std::size_t length, std::size_t& i, bool kanji) {
  const std::uint8_t c = text[i];
  if (c == '\\' && i + 1 < length) {
    std::size_t j = i + 1;
    std::uint8_t value = 0;
    if (DecodeSimpleEscape(text, length, j, value)) {
      i = j;
      return value;
    }
    ++i;  // "\/", "\\" and any other escaped byte stand for themselves
  }
  const std::uint8_t b = text[i];
  if (kanji && IsLeadByte(b) && i + 1 < length) {
    const std::uint32_t v = (static_cast<std::uint32_t>(b) << 8) | text[i + 1];
    i += 2;
    return v;
  }
  ++i;
  return b;
}

std::vector<std::uint32_t> Expand(const std::uint8_t* text, std::size_t length, bool kanji) {
  std::vector<std::uint32_t> values;
  std::size_t i = 0;
  while (i < length) {
    const std::uint32_t lo = ReadValue(text, length, i, kanji);
    if (i + 1 < length && text[i] == '-') {
      std::size_t j = i + 1;
      const std::uint32_t hi = ReadValue(text, length, j, kanji);
      if (hi >= lo && hi - lo + 1 <= kMaxRange) {
        for (std::uint32_t v = lo; v <= hi; ++v) values.push_back(v);
        i = j;
        continue;
      }
    }
    values.push_back(lo);  // the "-" and what follows are taken literally
  }
  return values;
}

}  // namespace

void BuildTranslateTable(const std::uint8_t* from, std::size_t fromLength, const std::uint8_t* to,
                         std::size_t toLength, std::uint32_t options,
                         std::vector<std::uint16_t>& table) {
  const bool kanji = (options & kOptKanji) != 0;
  const bool remove = (options & kOptDelete) != 0;
  const std::vector<std::uint32_t> source = Expand(from, fromLength, kanji);
  const std::vector<std::uint32_t> target = Expand(to, toLength, kanji);
  table.clear();
  const std::size_t entries = source.size() * 2 + 2;
  table.reserve((entries + kTableStep - 1) / kTableStep * kTableStep);
  for (std::size_t i = 0; i < source.size(); ++i) {
    std::uint32_t mapped;
    if (i < target.size()) {
      mapped = target[i];
    } else if (remove) {
      mapped = kTranslateDelete;
    } else if (target.empty()) {
      mapped = source[i];
    } else {
      mapped = target.back();
    }
    table.push_back(static_cast<std::uint16_t>(source[i]));
    table.push_back(static_cast<std::uint16_t>(mapped));
  }
  table.push_back(kTranslateEnd);
  table.push_back(kTranslateEnd);
}

}  // namespace yk::regex_detail
