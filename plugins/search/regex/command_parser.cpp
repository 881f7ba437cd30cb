// Splits a command ("m/pat/opts", "/pat/opts", "s/pat/repl/opts", "tr/from/to/opts") into its
// parts and option bits. The delimiter is the byte after the command letter; a Shift-JIS lead
// byte and the byte after it are always skipped together, so a trail byte never ends a part.
#include "plugins/search/regex/regex_internal.h"

namespace yk::regex_detail {

namespace {

constexpr const char* kBadKind = "do not start 'm' or 's' or 'tr'";
constexpr const char* kNoSeparator = "unmatch separater";

// Scans from pos for the first unescaped delimiter. Returns its index or length when absent.
std::size_t FindDelimiter(const std::uint8_t* text, std::size_t length, std::size_t pos,
                          std::uint8_t delimiter) {
  bool escaped = false;
  while (pos < length) {
    const std::uint8_t b = text[pos];
    if (IsLeadByte(b)) {
      pos += 2;
      escaped = false;
      continue;
    }
    if (escaped) {
      escaped = false;
    } else if (b == '\\') {
      escaped = true;
    } else if (b == delimiter) {
      return pos;
    }
    ++pos;
  }
  return length;
}

std::uint32_t ParseOptions(const std::uint8_t* text, std::size_t pos, std::size_t length) {
  std::uint32_t options = 0;
  for (; pos < length; ++pos) {
    switch (text[pos]) {
      case 'g':
        options |= kOptGlobal;
        break;
      case 'i':
        options |= kOptIgnoreCase;
        break;
      case 'm':
        options |= kOptMultiLine;
        break;
      case 'o':
        options |= kOptOnce;
        break;
      case 'k':
        options |= kOptKanji;
        break;
      case 'c':
        options |= kOptComplement;
        break;
      case 'd':
        options |= kOptDelete;
        break;
      case 's':
        options |= kOptSqueeze;
        break;
      default:
        break;  // unknown letters are ignored
    }
  }
  return options;
}

}  // namespace

const char* ParseCommand(const std::uint8_t* text, std::size_t length, ParsedCommand& out) {
  std::size_t pos = 0;
  if (length >= 1 && text[0] == '/') {
    out.kind = CommandKind::Match;
    pos = 0;
  } else if (length >= 2 && text[0] == 'm') {
    out.kind = CommandKind::Match;
    pos = 1;
  } else if (length >= 2 && text[0] == 's') {
    out.kind = CommandKind::Subst;
    pos = 1;
  } else if (length >= 3 && text[0] == 't' && text[1] == 'r') {
    out.kind = CommandKind::Translate;
    pos = 2;
  } else {
    return kBadKind;
  }
  const std::uint8_t delimiter = text[pos];
  ++pos;
  if (pos >= length) return kNoSeparator;

  out.firstBegin = pos;
  out.firstEnd = FindDelimiter(text, length, pos, delimiter);
  if (out.firstEnd >= length) return kNoSeparator;
  std::size_t optionsAt = out.firstEnd + 1;
  if (out.kind != CommandKind::Match) {
    out.secondBegin = out.firstEnd + 1;
    out.secondEnd = FindDelimiter(text, length, out.secondBegin, delimiter);
    if (out.secondEnd >= length) return kNoSeparator;
    optionsAt = out.secondEnd + 1;
  } else {
    out.secondBegin = out.secondEnd = out.firstEnd;
  }
  out.options = ParseOptions(text, optionsAt, length);
  return nullptr;
}

}  // namespace yk::regex_detail
