// The substitution loop of s commands and the parser of their replacement text.
//
// A replacement shorter than 2 bytes, or without a backslash and without "$1".."$9" or "$&",
// is copied as written for every match. Otherwise it is parsed into pieces: literal byte runs
// and group numbers whose current match text is filled in.
#include <cstring>
#include <new>

#include "plugins/search/regex/regex_internal.h"

namespace yk::regex_detail {

namespace {

constexpr std::size_t kOutputSlack = 256;
constexpr std::size_t kRoundSlack = 11;

bool NeedsParsing(const std::uint8_t* text, std::size_t length) {
  if (length < 2) return false;
  for (std::size_t i = 0; i < length; ++i) {
    if (text[i] == '\\') return true;
    if (text[i] == '$' && i + 1 < length &&
        ((text[i + 1] >= '1' && text[i + 1] <= '9') || text[i + 1] == '&')) {
      return true;
    }
  }
  return false;
}

class PieceWriter {
 public:
  explicit PieceWriter(Replacement& out) : out_(out) { out_.pieces.reserve(20); }

  void Byte(std::uint8_t b) {
    if (out_.pieces.empty() || out_.pieces.back().group >= 0) {
      Grow();
      out_.pieces.push_back({-1, out_.literals.size(), 0});
    }
    out_.literals.push_back(static_cast<char>(b));
    ++out_.pieces.back().length;
  }

  void Group(int number) {
    Grow();
    out_.pieces.push_back({number, 0, 0});
  }

 private:
  void Grow() {
    if (out_.pieces.size() == out_.pieces.capacity()) out_.pieces.reserve(out_.pieces.size() + 10);
  }
  Replacement& out_;
};

}  // namespace

void ParseReplacement(const std::uint8_t* text, std::size_t length, Replacement& out) {
  out = Replacement{};
  out.text.assign(reinterpret_cast<const char*>(text), length);
  out.raw = !NeedsParsing(text, length);
  if (out.raw) return;
  PieceWriter writer(out);
  std::size_t i = 0;
  while (i < length) {
    const std::uint8_t c = text[i];
    if (IsLeadByte(c) && i + 1 < length) {
      writer.Byte(c);
      writer.Byte(text[i + 1]);
      i += 2;
      continue;
    }
    if (c != '\\' && c != '$') {
      writer.Byte(c);
      ++i;
      continue;
    }
    if (i + 1 >= length) {  // a trailing "\" or "$"
      writer.Byte('\\');
      ++i;
      continue;
    }
    const std::uint8_t n = text[i + 1];
    if (n >= '1' && n <= '9') {
      std::size_t j = i + 1;
      long number = 0;
      while (j < length && IsDigitByte(text[j])) {
        if (number < 100000) number = number * 10 + (text[j] - '0');
        ++j;
      }
      writer.Group(static_cast<int>(number));
      i = j;
      continue;
    }
    if (c == '$' && n == '&') {
      writer.Group(0);
      i += 2;
      continue;
    }
    std::size_t j = i + 1;
    std::uint8_t value = 0;
    if (c == '\\' && DecodeSimpleEscape(text, length, j, value)) {
      writer.Byte(value);
      i = j;
      continue;
    }
    // "$" or "\" before any other byte yields that byte (a double-byte character whole).
    writer.Byte(n);
    if (IsLeadByte(n) && i + 2 < length) {
      writer.Byte(text[i + 2]);
      i += 3;
    } else {
      i += 2;
    }
  }
}

int RunSubstitution(CompiledCommand& command, const char* target, std::size_t length, char* message,
                    std::uint64_t& steps) {
  std::vector<char>& out = command.result;
  out.clear();
  SearchStatus status = SearchCommand(command, target, length, 0, 0, steps);
  if (status == SearchStatus::LimitOver) {
    SetMessage(message, kMatchLimitMessage);
    return 0;
  }
  if (status != SearchStatus::Match) return 0;

  const Replacement& repl = command.replacement;
  const bool global = (command.options & kOptGlobal) != 0;
  try {
    out.reserve(repl.text.size() + length + kOutputSlack);
    auto append = [&out](const char* bytes, std::size_t n) {
      if (n == 0) return;
      if (out.size() + n > out.capacity()) out.reserve(out.size() + n + kOutputSlack);
      out.insert(out.end(), bytes, bytes + n);
    };
    std::size_t previousEnd = 0;
    std::size_t rounds = 0;
    int count = 0;
    for (;;) {
      if (++rounds > length + kRoundSlack) {
        std::vector<char>().swap(out);
        SetMessage(message, "Substitution loop");
        return 0;
      }
      const std::size_t matchStart = static_cast<std::size_t>(command.groupStart[0] - target);
      const std::size_t matchEnd = static_cast<std::size_t>(command.groupEnd[0] - target);
      append(target + previousEnd, matchStart - previousEnd);
      if (repl.raw) {
        append(repl.text.data(), repl.text.size());
      } else {
        for (const ReplacementPiece& piece : repl.pieces) {
          if (piece.group < 0) {
            append(repl.literals.data() + piece.offset, piece.length);
          } else if (piece.group <= command.groupCount && command.groupStart[piece.group]) {
            const char* s = command.groupStart[piece.group];
            append(s, static_cast<std::size_t>(command.groupEnd[piece.group] - s));
          }
        }
      }
      ++count;
      previousEnd = matchEnd;
      if (!global) break;
      status =
          SearchCommand(command, target, length, matchEnd, matchEnd == matchStart ? 1 : 0, steps);
      if (status == SearchStatus::LimitOver) {
        std::vector<char>().swap(out);
        SetMessage(message, kMatchLimitMessage);
        return 0;
      }
      if (status != SearchStatus::Match) break;
    }
    append(target + previousEnd, length - previousEnd);
    if (out.size() + 1 > out.capacity()) out.reserve(out.size() + 1 + kOutputSlack);
    out.push_back('\0');
    if (out.size() > 1) {
      command.resultStart = out.data();
      command.resultEnd = out.data() + out.size() - 1;
    }
    return count;
  } catch (const std::bad_alloc&) {
    std::vector<char>().swap(out);
    SetMessage(message, "out of space buf");
    return 0;
  }
}

}  // namespace yk::regex_detail
