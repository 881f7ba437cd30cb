// The pattern compiler: pattern text to a program of nodes.
//
// Two passes over the pattern: the first only counts nodes, literal bytes, classes and groups,
// the second writes the nodes into storage of that size. Every node links to the node that
// follows it by a relative offset; the item of a repeat and the first alternative of a branch
// lie right after their node. A repeat of one byte, one class, "." or "\w" and the like is a
// simple item (Star, Plus, Repeat); any other repeated item is wrapped as RepeatComplex ...
// WhileRepeat. Literal bytes gather into Exact runs of up to 126 bytes (127 when a double-byte
// character would otherwise be split).
#include <cstring>

#include "plugins/search/regex/regex_internal.h"

namespace yk::regex_detail {

Op KindOf(Op op) {
  switch (op) {
    case Op::LineStart:
    case Op::MultiLineStart:
    case Op::StringStart:
    case Op::SearchStart:
      return Op::LineStart;
    case Op::LineEnd:
    case Op::MultiLineEnd:
    case Op::StringEnd:
      return Op::LineEnd;
    case Op::AnyChar:
    case Op::AnyCharAll:
      return Op::AnyChar;
    case Op::Repeat:
    case Op::RepeatComplex:
      return Op::Repeat;
    case Op::Branch:
    case Op::IfMatch:
    case Op::UnlessMatch:
      return Op::Branch;
    case Op::Succeed:
      return Op::End;
    default:
      return op;
  }
}

void CharClass::Add(std::uint32_t lo, std::uint32_t hi) {
  if (lo > 0xFFFF || lo > hi) return;
  if (hi > 0xFFFF) hi = 0xFFFF;
  entries.push_back({static_cast<std::uint16_t>(lo), static_cast<std::uint16_t>(hi)});
  for (std::uint32_t v = lo; v <= hi && v < 256; ++v) bytes[v] = true;
  if (hi >= 256) hasWide = true;
}

bool CharClass::Contains(std::uint32_t value) const {
  bool in;
  if (value < 256) {
    in = bytes[value];
  } else {
    in = false;
    for (const Range& r : entries) {
      if (value >= r.lo && value <= r.hi) {
        in = true;
        break;
      }
    }
  }
  return in != negated;
}

bool DecodeSimpleEscape(const std::uint8_t* text, std::size_t length, std::size_t& pos,
                        std::uint8_t& value) {
  if (pos >= length) return false;
  const std::uint8_t c = text[pos];
  auto hex = [](std::uint8_t h) -> int {
    if (h >= '0' && h <= '9') return h - '0';
    if (h >= 'a' && h <= 'f') return h - 'a' + 10;
    if (h >= 'A' && h <= 'F') return h - 'A' + 10;
    return -1;
  };
  switch (c) {
    case 'a':
      value = 7;
      break;
    case 'e':
      value = 27;
      break;
    case 'f':
      value = 12;
      break;
    case 'n':
      value = 10;
      break;
    case 'r':
      value = 13;
      break;
    case 't':
      value = 9;
      break;
    case 'x': {
      ++pos;
      unsigned v = 0;
      for (int i = 0; i < 2 && pos < length && hex(text[pos]) >= 0; ++i, ++pos) {
        v = v * 16 + static_cast<unsigned>(hex(text[pos]));
      }
      value = static_cast<std::uint8_t>(v);
      return true;
    }
    case '0': {
      ++pos;
      unsigned v = 0;
      for (int i = 0; i < 2 && pos < length && text[pos] >= '0' && text[pos] <= '7'; ++i, ++pos) {
        v = v * 8 + (text[pos] - '0');
      }
      value = static_cast<std::uint8_t>(v);
      return true;
    }
    case 'c': {
      ++pos;
      if (pos >= length) {
        value = 'c';
        return true;
      }
      std::uint8_t x = text[pos++];
      if (x >= 'a' && x <= 'z') x -= 32;
      value = x ^ 64;
      return true;
    }
    default:
      return false;
  }
  ++pos;
  return true;
}

namespace {

enum : int { kHasWidth = 1, kSimple = 2 };
constexpr int kError = -2;

enum class Paren { Top, Capture, NonCapture, IfMatch, UnlessMatch };

class Compiler {
 public:
  Compiler(const std::uint8_t* pattern, std::size_t length, std::uint32_t options, Program* out)
      : pattern_(pattern), length_(length), options_(options), out_(out) {}

  bool Run() {
    int flags = 0;
    if (Reg(Paren::Top, flags, 0) == kError) return false;
    return true;
  }

  int NodeCount() const { return nodeCount_; }
  std::size_t LiteralBytes() const { return literalBytes_; }
  int ClassCount() const { return classCount_; }
  int GroupCount() const { return groups_; }
  bool AnyFold() const { return anyFold_; }
  bool HasBackRef() const { return hasBackRef_; }
  bool HasSearchStart() const { return hasSearchStart_; }
  std::uint32_t Options() const { return options_; }

 private:
  bool Fold() const { return (options_ & kOptIgnoreCase) != 0; }
  bool Kanji() const { return (options_ & kOptKanji) != 0; }
  bool Extended() const { return (options_ & kOptExtended) != 0; }
  bool AtEnd() const { return pos_ >= length_; }
  std::uint8_t Peek(std::size_t ahead = 0) const {
    return pos_ + ahead < length_ ? pattern_[pos_ + ahead] : 0;
  }

  // ---- emission (counting only in the first pass) ----

  int Emit(Op op, std::uint32_t arg = 0) {
    const int index = nodeCount_++;
    if (out_) {
      Node n;
      n.op = op;
      n.arg = arg;
      out_->nodes.push_back(n);
    }
    return index;
  }

  // Puts a new node in front of the node at index `at`.
  void Insert(Op op, int at) {
    ++nodeCount_;
    if (out_) {
      Node n;
      n.op = op;
      out_->nodes.insert(out_->nodes.begin() + at, n);
    }
  }

  Node* At(int index) { return out_ ? &out_->nodes[index] : nullptr; }

  // Links the last node of the chain starting at `from` to `to`.
  void Tail(int from, int to) {
    if (!out_) return;
    int scan = from;
    for (;;) {
      const int next = out_->Next(scan);
      if (next < 0) break;
      scan = next;
    }
    out_->nodes[scan].next = to - scan;
  }

  // Links the end of a branch's alternative to `to`.
  void BranchTail(int branch, int to) {
    if (!out_ || out_->nodes[branch].op != Op::Branch) return;
    Tail(branch + 1, to);
  }

  // ---- parsing ----

  // Skips blanks and "#" comments under x.
  void SkipBlanks() {
    while (Extended() && !AtEnd()) {
      const std::uint8_t c = Peek();
      if (IsSpaceByte(c)) {
        ++pos_;
      } else if (c == '#') {
        while (!AtEnd() && Peek() != '\n') ++pos_;
      } else {
        break;
      }
    }
  }

  // Recognises "{n}", "{n,}", "{n,m}" at pos; fills min/max and the length of the form.
  bool BraceAt(std::size_t at, int& min, int& max, std::size_t& formLength) const {
    if (at >= length_ || pattern_[at] != '{') return false;
    std::size_t p = at + 1;
    auto number = [&](long& value) {
      const std::size_t begin = p;
      value = 0;
      while (p < length_ && IsDigitByte(pattern_[p])) {
        if (value < 1000000) value = value * 10 + (pattern_[p] - '0');
        ++p;
      }
      return p > begin;
    };
    long lo = 0, hi = 0;
    if (!number(lo)) return false;
    if (p < length_ && pattern_[p] == '}') {
      hi = lo;
    } else if (p < length_ && pattern_[p] == ',') {
      ++p;
      if (p < length_ && pattern_[p] == '}') {
        hi = kUnbounded;
      } else if (!number(hi) || p >= length_ || pattern_[p] != '}') {
        return false;
      }
    } else {
      return false;
    }
    min = static_cast<int>(lo);
    max = static_cast<int>(hi);
    formLength = p + 1 - at;
    return true;
  }

  bool QuantifierAt(std::size_t at) const {
    if (at >= length_) return false;
    const std::uint8_t c = pattern_[at];
    if (c == '*' || c == '+' || c == '?') return true;
    int min, max;
    std::size_t len;
    return BraceAt(at, min, max, len);
  }

  // Position of the next item after blanks and comments under x.
  std::size_t NextItemAt(std::size_t at) const {
    while (Extended() && at < length_) {
      const std::uint8_t c = pattern_[at];
      if (IsSpaceByte(c)) {
        ++at;
      } else if (c == '#') {
        while (at < length_ && pattern_[at] != '\n') ++at;
      } else {
        break;
      }
    }
    return at;
  }

  int Reg(Paren paren, int& flags, int depth) {
    if (depth > kMaxNesting) return kError;
    flags = kHasWidth;
    int ret = -1;
    int groupNumber = 0;
    if (paren == Paren::Capture) {
      groupNumber = ++groups_;
      if (groupNumber > 0xFFFF) return kError;
      ret = Emit(Op::Open, static_cast<std::uint32_t>(groupNumber));
    } else if (paren == Paren::IfMatch || paren == Paren::UnlessMatch) {
      ret = Emit(paren == Paren::IfMatch ? Op::IfMatch : Op::UnlessMatch);
    }
    int branchFlags = 0;
    const int first = Branch(branchFlags, depth);
    if (first == kError) return kError;
    if (!(branchFlags & kHasWidth)) flags &= ~kHasWidth;
    const int chainHead = (ret >= 0 && paren == Paren::Capture) ? ret : first;
    if (ret >= 0 && paren == Paren::Capture) Tail(ret, first);
    while (!AtEnd() && Peek() == '|') {
      ++pos_;
      const int br = Branch(branchFlags, depth);
      if (br == kError) return kError;
      if (!(branchFlags & kHasWidth)) flags &= ~kHasWidth;
      Tail(chainHead, br);
    }
    Op enderOp = Op::Nothing;
    switch (paren) {
      case Paren::Top:
        enderOp = Op::End;
        break;
      case Paren::Capture:
        enderOp = Op::Close;
        break;
      case Paren::NonCapture:
        enderOp = Op::Nothing;
        break;
      case Paren::IfMatch:
      case Paren::UnlessMatch:
        enderOp = Op::Succeed;
        break;
    }
    const int ender = Emit(enderOp, static_cast<std::uint32_t>(groupNumber));
    Tail(chainHead, ender);
    if (out_) {
      for (int br = first; br >= 0; br = out_->Next(br)) {
        if (out_->nodes[br].op != Op::Branch) break;
        BranchTail(br, ender);
      }
    }
    if (paren == Paren::Top) {
      if (!AtEnd()) return kError;  // a ")" without an open group
      return first;
    }
    if (!AtEnd()) ++pos_;  // the closing ")"; a group still open at the end closes there
    if (paren == Paren::IfMatch || paren == Paren::UnlessMatch) {
      const int after = Emit(Op::Nothing);
      if (out_) out_->nodes[ret].next = after - ret;
      flags &= ~kHasWidth;
    }
    return ret >= 0 ? ret : first;
  }

  // Consumes "(?#...)" comments and "(?letters)" flag settings before an item.
  // Returns false on a malformed flag group.
  bool SkipInline() {
    for (;;) {
      SkipBlanks();
      if (Peek() != '(' || Peek(1) != '?' || pos_ + 2 >= length_) return true;
      const std::uint8_t c = Peek(2);
      if (c == '#') {
        pos_ += 3;
        while (!AtEnd() && Peek() != ')') ++pos_;
        if (!AtEnd()) ++pos_;
        continue;
      }
      if (!std::strchr("iogmsx", c)) return true;
      std::size_t p = pos_ + 2;
      std::uint32_t bits = 0;
      while (p < length_ && pattern_[p] != ')') {
        switch (pattern_[p]) {
          case 'i':
            bits |= kOptIgnoreCase;
            break;
          case 'o':
            bits |= kOptOnce;
            break;
          case 'g':
            bits |= kOptGlobal;
            break;
          case 'm':
            bits |= kOptMultiLine;
            break;
          case 's':
            bits |= kOptSingleLine;
            break;
          case 'x':
            bits |= kOptExtended;
            break;
          default:
            return false;
        }
        ++p;
      }
      options_ |= bits;
      pos_ = p < length_ ? p + 1 : p;
    }
  }

  int Branch(int& flags, int depth) {
    flags = 0;
    const int ret = Emit(Op::Branch);
    int chain = -1;
    for (;;) {
      if (!SkipInline()) return kError;
      if (AtEnd() || Peek() == '|' || Peek() == ')') break;
      int pieceFlags = 0;
      const int latest = Piece(pieceFlags, depth);
      if (latest == kError) return kError;
      flags |= pieceFlags & kHasWidth;
      if (chain >= 0) Tail(chain, latest);
      chain = latest;
    }
    if (chain < 0) Emit(Op::Nothing);
    return ret;
  }

  int Piece(int& flags, int depth) {
    int atomFlags = 0;
    const int ret = Atom(atomFlags, depth);
    if (ret == kError) return kError;
    pos_ = NextItemAt(pos_);
    int min = 0, max = 0;
    std::size_t formLength = 1;
    char quantifier = 0;
    if (!AtEnd()) {
      const std::uint8_t c = Peek();
      if (c == '*') {
        quantifier = '*', min = 0, max = kUnbounded;
      } else if (c == '+') {
        quantifier = '+', min = 1, max = kUnbounded;
      } else if (c == '?') {
        quantifier = '?', min = 0, max = 1;
      } else if (BraceAt(pos_, min, max, formLength)) {
        quantifier = '{';
        if (min > max || max > kUnbounded) return kError;
      }
    }
    if (!quantifier) {
      flags = atomFlags;
      return ret;
    }
    pos_ += formLength;
    pos_ = NextItemAt(pos_);
    bool lazy = false;
    if (Peek() == '?' && !AtEnd()) {
      lazy = true;
      ++pos_;
      pos_ = NextItemAt(pos_);
    }
    if (QuantifierAt(pos_)) return kError;  // a quantifier right after another one

    if (atomFlags & kSimple) {
      const Op op = quantifier == '*' ? Op::Star : quantifier == '+' ? Op::Plus : Op::Repeat;
      Insert(op, ret);
      if (Node* n = At(ret)) {
        n->min = static_cast<std::uint16_t>(min);
        n->max = static_cast<std::uint16_t>(max);
      }
    } else {
      Tail(ret, Emit(Op::WhileRepeat));
      Insert(Op::RepeatComplex, ret);
      if (Node* n = At(ret)) {
        n->min = static_cast<std::uint16_t>(min);
        n->max = static_cast<std::uint16_t>(max);
      }
      Tail(ret, Emit(Op::Nothing));
    }
    if (lazy) {
      Insert(Op::Lazy, ret);
      if (Node* n = At(ret)) n->next = 1;
    }
    flags = min > 0 ? (atomFlags & kHasWidth) : 0;
    return ret;
  }

  int EmitSimple(Op op, int& flags) {
    flags = kHasWidth | kSimple;
    return Emit(op);
  }

  int Atom(int& flags, int depth) {
    flags = 0;
    const std::uint8_t c = Peek();
    if (QuantifierAt(pos_)) return kError;  // nothing to repeat
    switch (c) {
      case '^':
        ++pos_;
        return Emit((options_ & kOptMultiLine)    ? Op::MultiLineStart
                    : (options_ & kOptSingleLine) ? Op::StringStart
                                                  : Op::LineStart);
      case '$':
        ++pos_;
        return Emit((options_ & kOptMultiLine)    ? Op::MultiLineEnd
                    : (options_ & kOptSingleLine) ? Op::StringEnd
                                                  : Op::LineEnd);
      case '.':
        ++pos_;
        return EmitSimple((options_ & kOptSingleLine) ? Op::AnyCharAll : Op::AnyChar, flags);
      case '[':
        ++pos_;
        return Class(flags);
      case ')':
      case '|':
        return kError;
      case '(': {
        ++pos_;
        Paren paren = Paren::Capture;
        if (Peek() == '?' && !AtEnd()) {
          const std::uint8_t kind = Peek(1);
          if (kind == ':') {
            paren = Paren::NonCapture;
          } else if (kind == '=') {
            paren = Paren::IfMatch;
          } else if (kind == '!') {
            paren = Paren::UnlessMatch;
          } else {
            return kError;  // "(?$", "(?@" and anything unknown
          }
          pos_ += 2;
        }
        int groupFlags = 0;
        const int ret = Reg(paren, groupFlags, depth + 1);
        if (ret == kError) return kError;
        flags = groupFlags & kHasWidth;
        return ret;
      }
      case '\\': {
        const std::uint8_t e = Peek(1);
        Op op = Op::End;
        switch (e) {
          case 'w':
            op = Op::WordChar;
            break;
          case 'W':
            op = Op::NonWordChar;
            break;
          case 's':
            op = Op::SpaceChar;
            break;
          case 'S':
            op = Op::NonSpaceChar;
            break;
          case 'd':
            op = Op::DigitChar;
            break;
          case 'D':
            op = Op::NonDigitChar;
            break;
          case 'b':
            op = Op::WordBoundary;
            break;
          case 'B':
            op = Op::NonWordBoundary;
            break;
          case 'A':
            op = Op::StringStart;
            break;
          case 'Z':
            op = Op::StringEnd;
            break;
          case 'G':
            op = Op::SearchStart;
            break;
          default:
            break;
        }
        if (op != Op::End && pos_ + 1 < length_) {
          pos_ += 2;
          if (op == Op::SearchStart) hasSearchStart_ = true;
          if (op == Op::WordBoundary || op == Op::NonWordBoundary || op == Op::StringStart ||
              op == Op::StringEnd || op == Op::SearchStart) {
            return Emit(op);
          }
          return EmitSimple(op, flags);
        }
        int group = 0;
        std::size_t digitsEnd = 0;
        if (BackRefAt(pos_, group, digitsEnd)) {
          pos_ = digitsEnd;
          hasBackRef_ = true;
          if (Fold()) anyFold_ = true;
          const int ret = Emit(Op::BackRef, static_cast<std::uint32_t>(group));
          if (Node* n = At(ret)) n->fold = Fold();
          return ret;
        }
        return Run(flags);
      }
      default:
        return Run(flags);
    }
  }

  // "\digits" outside a class: a back-reference when the number is below 10 or below the
  // number of groups opened so far.
  bool BackRefAt(std::size_t at, int& group, std::size_t& end) const {
    if (at + 1 >= length_ || pattern_[at] != '\\') return false;
    std::size_t p = at + 1;
    if (pattern_[p] < '1' || pattern_[p] > '9') return false;
    long number = 0;
    while (p < length_ && IsDigitByte(pattern_[p])) {
      if (number < 100000) number = number * 10 + (pattern_[p] - '0');
      ++p;
    }
    if (number >= 10 && number >= groups_) return false;
    group = static_cast<int>(number);
    end = p;
    return true;
  }

  // An octal escape of up to three digits starting at pos (used when "\digits" is not a
  // back-reference, and for "\digits" inside a class).
  std::uint8_t Octal() {
    unsigned v = 0;
    for (int i = 0; i < 3 && !AtEnd() && Peek() >= '0' && Peek() <= '7'; ++i, ++pos_) {
      v = v * 8 + (Peek() - '0');
    }
    return static_cast<std::uint8_t>(v);
  }

  // One literal character at pos (escape decoded). Returns false when the byte at pos is not
  // a literal (a special character or a special escape).
  bool LiteralAt(std::uint8_t (&bytes)[2], int& count, bool& dbcs) {
    dbcs = false;
    const std::uint8_t c = Peek();
    if (std::strchr("^$.[()|*+?", c) && c != 0) return false;
    if (c == '{' && QuantifierAt(pos_)) return false;
    if (c == '\\') {
      if (pos_ + 1 >= length_) {  // a trailing backslash stands for itself
        ++pos_;
        bytes[0] = '\\';
        count = 1;
        return true;
      }
      const std::uint8_t e = Peek(1);
      if (std::strchr("wWsSdDbBAZG", e)) return false;
      int group;
      std::size_t end;
      if (BackRefAt(pos_, group, end)) return false;
      ++pos_;
      std::uint8_t value;
      if (e >= '1' && e <= '9') {
        value = Octal();
        if (value == 0 && !(e >= '0' && e <= '7')) value = e, ++pos_;
      } else if (DecodeSimpleEscape(pattern_, length_, pos_, value)) {
      } else if (Kanji() && IsLeadByte(e) && pos_ + 1 < length_) {
        bytes[0] = e;
        bytes[1] = Peek(1);
        pos_ += 2;
        count = 2;
        dbcs = true;
        return true;
      } else {
        value = e;
        ++pos_;
      }
      bytes[0] = value;
      count = 1;
      return true;
    }
    if (Kanji() && IsLeadByte(c) && pos_ + 1 < length_) {
      bytes[0] = c;
      bytes[1] = Peek(1);
      pos_ += 2;
      count = 2;
      dbcs = true;
      return true;
    }
    bytes[0] = c;
    count = 1;
    ++pos_;
    return true;
  }

  int Run(int& flags) {
    const std::size_t literalStart = out_ ? out_->literals.size() : literalBytes_;
    std::size_t length = 0;
    const bool fold = Fold();
    while (length < 126) {
      SkipBlanks();
      if (AtEnd()) break;
      const std::size_t save = pos_;
      std::uint8_t bytes[2];
      int count = 0;
      bool dbcs = false;
      if (!LiteralAt(bytes, count, dbcs)) break;
      if (QuantifierAt(NextItemAt(pos_)) && length > 0) {
        pos_ = save;  // that character is an item of its own
        break;
      }
      for (int i = 0; i < count; ++i) {
        const bool trail = dbcs && i == 1;
        std::uint8_t b = bytes[i];
        if (fold && !trail) b = FoldByte(b);
        if (out_) {
          // Under k the trail byte of a character compares exactly, also when folding.
          const bool either = fold && !trail && b >= 'a' && b <= 'z';
          out_->literals.push_back(static_cast<char>(b));
          out_->literalMask.push_back(static_cast<char>(either ? 0x20 : 0));
        }
      }
      length += count;
      if (QuantifierAt(NextItemAt(pos_))) break;
    }
    if (length == 0) return kError;
    literalBytes_ += length;
    if (fold) anyFold_ = true;
    const int ret = Emit(Op::Exact, static_cast<std::uint32_t>(literalStart));
    if (Node* n = At(ret)) {
      n->len = static_cast<std::uint16_t>(length);
      n->fold = fold;
    }
    flags = kHasWidth | (length == 1 ? kSimple : 0);
    return ret;
  }

  // One member value of a class at pos; sets isSet when it was \w-like (added to cls already).
  bool ClassMember(CharClass* cls, std::uint32_t& value, bool& isSet) {
    isSet = false;
    const std::uint8_t c = Peek();
    if (c == '\\' && pos_ + 1 < length_) {
      const std::uint8_t e = Peek(1);
      auto addSet = [&](auto test, bool negate) {
        if (cls) {
          for (unsigned v = 0; v < 256; ++v) {
            if (test(static_cast<std::uint8_t>(v)) != negate) cls->Add(v, v);
          }
          if (negate && Kanji()) cls->Add(256, 0xFFFF);
        }
        isSet = true;
        pos_ += 2;
        return true;
      };
      switch (e) {
        case 'w':
          return addSet(IsWordByte, false);
        case 'W':
          return addSet(IsWordByte, true);
        case 's':
          return addSet(IsSpaceByte, false);
        case 'S':
          return addSet(IsSpaceByte, true);
        case 'd':
          return addSet(IsDigitByte, false);
        case 'D':
          return addSet(IsDigitByte, true);
        case 'b':
          value = 8;
          pos_ += 2;
          return true;
        default:
          break;
      }
      ++pos_;
      if (e >= '1' && e <= '9') {
        value = Octal();
        return true;
      }
      std::uint8_t v;
      if (DecodeSimpleEscape(pattern_, length_, pos_, v)) {
        value = v;
        return true;
      }
    }
    const std::uint8_t b = Peek();
    if (Kanji() && IsLeadByte(b) && pos_ + 1 < length_) {
      value = (static_cast<std::uint32_t>(b) << 8) | Peek(1);
      pos_ += 2;
      return true;
    }
    value = b;
    ++pos_;
    return true;
  }

  int Class(int& flags) {
    CharClass scratch;
    CharClass* cls = out_ ? &scratch : nullptr;
    if (Peek() == '^' && !AtEnd()) {
      scratch.negated = true;
      ++pos_;
    }
    bool first = true;
    const bool fold = Fold();
    auto addFolded = [&](std::uint32_t lo, std::uint32_t hi) {
      if (!cls) return;
      cls->Add(lo, hi);
      if (fold) {
        const std::uint32_t a = lo < 'A' ? 'A' : lo, z = hi > 'Z' ? 'Z' : hi;
        if (a <= z) cls->Add(a + 32, z + 32);
      }
    };
    for (;;) {
      if (AtEnd()) return kError;  // no closing "]"
      if (Peek() == ']' && !first) {
        ++pos_;
        break;
      }
      first = false;
      std::uint32_t lo = 0;
      bool isSet = false;
      ClassMember(cls, lo, isSet);
      if (isSet) continue;
      if (Peek() == '-' && pos_ + 1 < length_ && Peek(1) != ']') {
        const std::size_t save = pos_;
        ++pos_;
        std::uint32_t hi = 0;
        bool hiSet = false;
        CharClass ignored;
        ClassMember(cls ? &ignored : nullptr, hi, hiSet);
        if (hiSet) {  // "a-\w": the "-" is literal
          pos_ = save;
          addFolded(lo, lo);
          continue;
        }
        if (hi < lo) return kError;
        addFolded(lo, hi);
        continue;
      }
      addFolded(lo, lo);
    }
    flags = kHasWidth | kSimple;
    const int index = classCount_++;
    if (out_) out_->classes.push_back(std::move(scratch));
    if (fold) anyFold_ = true;
    const int ret = Emit(Op::CharClass, static_cast<std::uint32_t>(index));
    if (Node* n = At(ret)) n->fold = fold;
    return ret;
  }

  const std::uint8_t* pattern_;
  std::size_t length_;
  std::size_t pos_ = 0;
  std::uint32_t options_;
  Program* out_;
  int nodeCount_ = 0;
  std::size_t literalBytes_ = 0;
  int classCount_ = 0;
  int groups_ = 0;
  bool anyFold_ = false;
  bool hasBackRef_ = false;
  bool hasSearchStart_ = false;
};

// Gives each item that takes exactly one byte the table of the bytes it takes, so that the
// matcher decides it, and runs of it, with one look-up per byte. Under k the items that may
// take a double-byte character keep their own test.
void BuildByteSets(Program& p) {
  for (Node& n : p.nodes) {
    // Under k a class without lead bytes and without members of 256 or more takes no
    // double-byte character: it refuses a lead byte whether or not a trail byte follows.
    bool narrowClass = false;
    if (n.op == Op::CharClass) {
      const CharClass& c = p.classes[n.arg];
      narrowClass = !c.negated && !c.hasWide;
      for (int b = 0x80; b < 256 && narrowClass; ++b) {
        if (IsLeadByte(static_cast<std::uint8_t>(b)) && c.bytes[b]) narrowClass = false;
      }
    }
    const bool oneByte = (n.op == Op::Exact && n.len == 1) ||
                         (IsCharItem(n.op) && !(p.kanji && MayTakeDoubleByte(n.op))) || narrowClass;
    if (!oneByte) continue;
    std::array<bool, 256> set{};
    for (int v = 0; v < 256; ++v) {
      const auto b = static_cast<std::uint8_t>(v);
      switch (n.op) {
        case Op::Exact: {
          const std::uint8_t l = p.Literal(n)[0];
          set[v] = b == l || (n.fold && FoldByte(b) == l);
          break;
        }
        case Op::AnyChar:
          set[v] = b != '\n';
          break;
        case Op::AnyCharAll:
          set[v] = true;
          break;
        case Op::CharClass:
          set[v] = p.classes[n.arg].Contains(n.fold ? FoldByte(b) : b);
          break;
        case Op::WordChar:
        case Op::NonWordChar:
          set[v] = IsWordByte(b) == (n.op == Op::WordChar);
          break;
        case Op::SpaceChar:
        case Op::NonSpaceChar:
          set[v] = IsSpaceByte(b) == (n.op == Op::SpaceChar);
          break;
        case Op::DigitChar:
        case Op::NonDigitChar:
          set[v] = IsDigitByte(b) == (n.op == Op::DigitChar);
          break;
        default:
          break;
      }
    }
    n.byteSet = static_cast<std::int32_t>(p.byteSets.size());
    p.byteSets.push_back(set);
  }
}

// Lets links skip the nodes that only pass on to another one (Nothing, and a Branch with a
// single alternative, which goes on to that alternative). The links of Branch nodes stay as
// they are: they chain the alternatives.
void ShortenLinks(Program& p) {
  const int count = static_cast<int>(p.nodes.size());
  auto skip = [&p](int t) {
    for (int guard = 0; guard < 100000; ++guard) {
      const Node& n = p.nodes[t];
      if (n.op == Op::Nothing && n.next != 0) {
        t += n.next;
      } else if (n.op == Op::Branch && !(n.next != 0 && p.nodes[t + n.next].op == Op::Branch)) {
        t += 1;
      } else {
        break;
      }
    }
    return t;
  };
  for (int i = 0; i < count; ++i) {
    Node& n = p.nodes[i];
    if (n.op == Op::Branch || n.next == 0) continue;
    n.next = skip(i + n.next) - i;
  }
  p.entry = skip(0);
}

}  // namespace

bool CompilePattern(const std::uint8_t* pattern, std::size_t length, std::uint32_t options,
                    Program& program) {
  Compiler sizing(pattern, length, options, nullptr);
  if (!sizing.Run()) return false;

  Program out;
  out.nodes.reserve(static_cast<std::size_t>(sizing.NodeCount()));
  out.literals.reserve(sizing.LiteralBytes());
  out.literalMask.reserve(sizing.LiteralBytes());
  out.classes.reserve(static_cast<std::size_t>(sizing.ClassCount()));
  Compiler writer(pattern, length, options, &out);
  if (!writer.Run()) return false;
  out.groupCount = writer.GroupCount();
  out.options = writer.Options();
  out.kanji = (options & kOptKanji) != 0;
  out.anyFold = writer.AnyFold();
  out.hasBackRef = writer.HasBackRef();
  out.hasSearchStart = writer.HasSearchStart();
  BuildByteSets(out);
  ShortenLinks(out);
  program = std::move(out);
  return true;
}

}  // namespace yk::regex_detail
