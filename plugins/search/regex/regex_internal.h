// Shared types of the regular-expression engine's stages: the command parser, the compiler,
// the search hints, the matcher, the substitution loop and the tr table parser.
// Not part of the public interface (see regex.h); the tests include it to reach the
// hint switch and the node program.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "plugins/search/regex/regex.h"

namespace yk::regex_detail {

// Option bits; the letters after the last delimiter and inside "(?...)".
enum : std::uint32_t {
  kOptIgnoreCase = 0x20,
  kOptOnce = 0x80,
  kOptGlobal = 0x100,
  kOptMultiLine = 0x1000,
  kOptSingleLine = 0x2000,  // inline (?s) only
  kOptKanji = 0x4000,
  kOptExtended = 0x8000,  // inline (?x) only
  kOptComplement = 0x40000,
  kOptDelete = 0x80000,
  kOptSqueeze = 0x100000,
};

// ---- Shift-JIS and ASCII character tests --------------------------------------------------

constexpr bool IsLeadByte(std::uint8_t b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
constexpr bool IsWordByte(std::uint8_t b) {
  return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == '_';
}
constexpr bool IsSpaceByte(std::uint8_t b) {
  return b == ' ' || (b >= 9 && b <= 13);
}
constexpr bool IsDigitByte(std::uint8_t b) {
  return b >= '0' && b <= '9';
}
constexpr std::uint8_t FoldByte(std::uint8_t b) {
  return (b >= 'A' && b <= 'Z') ? b + 32 : b;
}
constexpr bool IsUpperByte(std::uint8_t b) {
  return b >= 'A' && b <= 'Z';
}

// True when text[pos] is the second byte of a double-byte character, judged by the number of
// lead-range bytes right before it (walking back no further than lo).
bool IsTrailByte(const std::uint8_t* text, std::size_t lo, std::size_t pos);

// The number of lead-range bytes right before pos, walking back no further than lo.
std::size_t LeadRunBefore(const std::uint8_t* text, std::size_t lo, std::size_t pos);

// The same test for positions asked in increasing order: each byte is looked at a bounded
// number of times, so a long run of lead-range bytes costs linear time, not quadratic.
class TrailTest {
 public:
  TrailTest(const std::uint8_t* text, std::size_t lo) : text_(text), lo_(lo) {}
  bool operator()(std::size_t pos) {
    if (valid_ && pos >= scanned_) {
      while (scanned_ < pos && IsLeadByte(text_[scanned_])) ++scanned_;
      if (scanned_ == pos) return ((pos - runStart_) & 1) != 0;
    }
    const std::size_t r = pos - LeadRunBefore(text_, lo_, pos);
    runStart_ = r;
    scanned_ = pos;
    valid_ = true;
    return ((pos - r) & 1) != 0;
  }

 private:
  const std::uint8_t* text_;
  std::size_t lo_;
  std::size_t runStart_ = 0, scanned_ = 0;
  bool valid_ = false;
};

// ---- The node program ---------------------------------------------------------------------

enum class Op : std::uint8_t {
  End = 0,
  LineStart = 1,
  MultiLineStart = 2,
  StringStart = 3,
  LineEnd = 4,
  MultiLineEnd = 5,
  StringEnd = 6,
  AnyChar = 7,
  AnyCharAll = 8,
  CharClass = 9,
  Repeat = 10,
  RepeatComplex = 11,
  Branch = 12,
  Back = 13,
  Exact = 14,
  Nothing = 15,
  Star = 16,
  Plus = 17,
  WordChar = 18,
  NonWordChar = 19,
  WordBoundary = 20,
  NonWordBoundary = 21,
  SpaceChar = 22,
  NonSpaceChar = 23,
  DigitChar = 24,
  NonDigitChar = 25,
  BackRef = 26,
  Open = 27,
  Close = 28,
  Lazy = 29,
  SearchStart = 30,
  IfMatch = 31,
  UnlessMatch = 32,
  Succeed = 33,
  WhileRepeat = 34,
};

// The optimiser's coarse grouping of opcodes.
Op KindOf(Op op);

// Items that consume exactly one character: any character, a class, \w \W \s \S \d \D.
inline constexpr bool IsCharItem(Op op) {
  switch (op) {
    case Op::AnyChar:
    case Op::AnyCharAll:
    case Op::CharClass:
    case Op::WordChar:
    case Op::NonWordChar:
    case Op::SpaceChar:
    case Op::NonSpaceChar:
    case Op::DigitChar:
    case Op::NonDigitChar:
      return true;
    default:
      return false;
  }
}

// Character items that take a double-byte character where kanji is on: those that accept
// any character or say only what a character is not (\w, \s and \d are single bytes).
inline constexpr bool MayTakeDoubleByte(Op op) {
  switch (op) {
    case Op::AnyChar:
    case Op::AnyCharAll:
    case Op::CharClass:
    case Op::NonWordChar:
    case Op::NonSpaceChar:
    case Op::NonDigitChar:
      return true;
    default:
      return false;
  }
}

inline constexpr int kUnbounded = 32767;  // upper bound of "*", "+" and "{n,}"
inline constexpr int kMaxNesting = 250;   // deepest group nesting the compiler accepts

struct Node {
  Op op = Op::End;
  bool fold = false;      // Exact, CharClass, BackRef: ASCII letters compare case-insensitively
  std::uint16_t len = 0;  // Exact: number of bytes
  std::int32_t next = 0;  // offset to the following node, 0 = none
  std::uint32_t arg = 0;  // Exact: offset into literals; CharClass: class index; groups: number
  std::uint16_t min = 0;  // Repeat, RepeatComplex
  std::uint16_t max = 0;
  // Items that always take exactly one byte, decided by that byte alone: the index of the
  // bytes they take in Program::byteSets; -1 for every other node.
  std::int32_t byteSet = -1;
};

// A set of 16-bit character values: single values and inclusive ranges.
struct CharClass {
  struct Range {
    std::uint16_t lo, hi;
  };
  bool negated = false;
  std::vector<Range> entries;
  std::array<bool, 256> bytes{};  // membership of values below 256, before negation
  bool hasWide = false;           // any member of 256 or above

  void Add(std::uint32_t lo, std::uint32_t hi);
  bool Contains(std::uint32_t value) const;  // negation applied
};

struct Program {
  std::vector<Node> nodes;  // nodes[0] is the first node
  int entry = 0;  // where a match attempt starts: node 0 or the first node it passes on to
  std::string literals;
  // For each literal byte: 0x20 where a folded letter matches in either case (the text byte
  // with 0x20 set must equal it), else 0 (the byte must be equal).
  std::string literalMask;
  std::vector<CharClass> classes;
  std::vector<std::array<bool, 256>> byteSets;  // see Node::byteSet
  int groupCount = 0;
  std::uint32_t options = 0;  // the command's letters and every flag set inside the pattern
  bool kanji = false;         // option k
  bool anyFold = false;       // some node folds case
  bool hasBackRef = false;
  bool hasSearchStart = false;

  const std::uint8_t* Literal(const Node& n) const {
    return reinterpret_cast<const std::uint8_t*>(literals.data()) + n.arg;
  }
  const std::uint8_t* LiteralMask(const Node& n) const {
    return reinterpret_cast<const std::uint8_t*>(literalMask.data()) + n.arg;
  }
  int Next(int index) const {
    const int off = nodes[index].next;
    return off == 0 ? -1 : index + off;
  }
};

// Compiles a pattern with the given options. False when the pattern does not compile.
[[nodiscard]] bool CompilePattern(const std::uint8_t* pattern, std::size_t length,
                                  std::uint32_t options, Program& program);

// ---- Candidate scans ----------------------------------------------------------------------

// A literal run prepared for scanning: two probe bytes at different offsets (the rarest in
// ordinary text) are compared at many positions at once, and the whole run is checked where
// both fit. Under folding a probe on a letter fits either case.
struct LiteralScan {
  std::string bytes;  // the run as compiled (letters lower-cased when folding)
  std::string mask;   // as Program::literalMask
  bool fold = false;
  std::size_t probeAt[2] = {0, 0};
  std::uint8_t probeByte[2] = {0, 0};  // the probe's byte with probeMask set
  std::uint8_t probeMask[2] = {0, 0};  // 0x20 for a folded letter: compare (byte | 0x20)
};

void PrepareLiteralScan(const std::uint8_t* bytes, const std::uint8_t* mask, std::size_t len,
                        bool fold, LiteralScan& out);

// Whether one word of text from i, with the mask's bits set, differs from the literal there.
template <typename Word>
bool MaskedWordDiffers(const std::uint8_t* text, const std::uint8_t* lit, const std::uint8_t* mask,
                       std::size_t i) {
  Word t, l, m;
  std::memcpy(&t, text + i, sizeof t);
  std::memcpy(&l, lit + i, sizeof l);
  std::memcpy(&m, mask + i, sizeof m);
  return (t | m) != l;
}

// True when text[0, len) with mask[i] set in each byte equals lit[0, len): a literal run
// compared with its letters in either case where the mask says so. Eight bytes at a time.
inline bool MaskedEqual(const std::uint8_t* text, const std::uint8_t* lit, const std::uint8_t* mask,
                        std::size_t len) {
  auto differ8 = [&](std::size_t i) {
    return MaskedWordDiffers<std::uint64_t>(text, lit, mask, i);
  };
  auto differ4 = [&](std::size_t i) {
    return MaskedWordDiffers<std::uint32_t>(text, lit, mask, i);
  };
  if (len >= 8) {
    for (std::size_t i = 0; i + 8 <= len; i += 8) {
      if (differ8(i)) return false;
    }
    return len % 8 == 0 || !differ8(len - 8);  // the last bytes, overlapping
  }
  if (len >= 4) return !differ4(0) && !differ4(len - 4);
  for (std::size_t i = 0; i < len; ++i) {
    if ((text[i] | mask[i]) != lit[i]) return false;
  }
  return true;
}

// True when the run matches at `at` (the caller makes sure the run fits in the target).
inline bool LiteralMatchesAt(const LiteralScan& scan, const std::uint8_t* at) {
  return MaskedEqual(at, reinterpret_cast<const std::uint8_t*>(scan.bytes.data()),
                     reinterpret_cast<const std::uint8_t*>(scan.mask.data()), scan.bytes.size());
}

// The first start in [lo, hi - length] where the run matches, or hi. Under k (isTrail given)
// a start on a trail byte does not count.
std::size_t FindLiteral(const LiteralScan& scan, const std::uint8_t* text, std::size_t lo,
                        std::size_t hi, TrailTest* isTrail);

// A set of bytes prepared for scanning: one byte, up to kMaxRanges ranges tested at many
// positions at once, or a table looked up byte by byte.
struct ByteSetScan {
  static constexpr int kMaxRanges = 4;
  std::array<bool, 256> set{};
  int single = -1;     // the only member, or -1
  int rangeCount = 0;  // 0: more ranges than kMaxRanges, the table is used
  std::uint8_t rangeLo[kMaxRanges] = {};
  std::uint8_t rangeSpan[kMaxRanges] = {};  // hi - lo
};

void PrepareByteSetScan(const std::array<bool, 256>& set, ByteSetScan& out);

// The first position in [p, end) whose byte is in the set, or end.
std::size_t FindInByteSet(const ByteSetScan& scan, const std::uint8_t* text, std::size_t p,
                          std::size_t end);

// ---- Search hints -------------------------------------------------------------------------

struct SearchHints {
  enum class Anchor : std::uint8_t { None, SearchStart, LineStarts };
  Anchor anchor = Anchor::None;

  // Candidate start bytes: a match can only start on a byte in this set (both cases when the
  // first item folds). Covers the start literal and the start class.
  bool hasFirstBytes = false;
  ByteSetScan firstBytes;
  int startLiteralNode = -1;  // the program starts with this Exact run
  LiteralScan startLiteral;
  // The start literal is where an attempt begins, with nothing before it: the scan that finds
  // it has matched it, and the attempt goes on from this node after it (-1 = not so).
  int afterStartLiteral = -1;
  bool literalOnly = false;  // ... and the whole program is that literal
  // The program is a choice among literal runs with nothing after them: each run in order,
  // with its first byte as compiled.
  struct LiteralChoice {
    LiteralScan scan;
    std::uint8_t firstByte = 0;
  };
  std::vector<LiteralChoice> literalChoices;
  int startClassNode = -1;     // the program starts with this class-like test
  bool startClassRow = false;  // ... repeated by "+": try only the first position of each row
  // The program starts with \b and every first byte is a word byte: a start also needs a
  // character before it that is not a word character, so a row of word bytes that has one
  // before it is passed over whole.
  bool startWordBoundary = false;

  // Must-have substring (runs shorter than 256 bytes).
  LiteralScan must;
  int mustNode = -1;         // the Exact node it comes from
  bool mustIsStart = false;  // it is the start literal, which the scan for it finds anyway
  long mustOffset = -1;      // fixed distance from the match start, or -1
  int usefulness = 100;
  bool mustActive = false;
  // The program starts with a greedy "+" or "*" of a single-byte class that is followed right
  // away by the must-have substring, whose first byte the class does not hold: a match then
  // starts at the beginning of the row of class bytes that ends at a hit.
  int mustRowNode = -1;

  // For each Branch node, the index of the set of bytes its alternative must start with
  // (-1 = any); alternatives that cannot start at the cursor are not tried.
  std::vector<int> branchSet;
  std::vector<std::array<bool, 256>> branchSets;

  // For each simple repeat (Star, Plus, Repeat; indexed by node): the bytes the rest of the
  // program must start with, so that a repeat stops only where the rest can start; and
  // whether giving back items can never help the rest (its bytes and the item's are apart,
  // or the rest is the end), so that no way back is kept.
  struct RepeatHint {
    std::int32_t follow = -1;  // index into followSets, -1 = the rest may start anywhere
    bool possessive = false;
  };
  std::vector<RepeatHint> repeatHints;
  std::vector<std::array<bool, 256>> followSets;

  // The whole program as steps that only go forward (empty = not so): a run of min..max
  // items of a one-byte item node, a literal run, or a word-boundary test. Only tests follow
  // a run that may give back.
  struct LinearStep {
    enum class Kind : std::uint8_t { Bytes, Literal, WordBoundary, NonWordBoundary };
    Kind kind;
    std::int32_t node;  // Bytes: the item node; Literal: the Exact node
    std::int32_t min, max;
    bool givesBack;  // Bytes: gives back items one at a time until the tests after it hold
    bool lineItem;   // Bytes: the item is "." (with or without single-line)
  };
  std::vector<LinearStep> linear;
};

void ComputeHints(const Program& program, SearchHints& hints);

// Searches text[lo, hi) for the must-have substring; returns its position or hi.
inline std::size_t FindMust(const SearchHints& hints, const std::uint8_t* text, std::size_t lo,
                            std::size_t hi, TrailTest* isTrail) {
  return FindLiteral(hints.must, text, lo, hi, isTrail);
}

// ---- The matcher --------------------------------------------------------------------------

inline constexpr std::uint64_t kStepLimit = 10'000'000;

enum class SearchStatus { NoMatch, Match, LimitOver };

struct SearchRequest {
  const std::uint8_t* text = nullptr;
  std::size_t length = 0;
  std::size_t searchStart = 0;
  std::size_t minEnd = 0;  // a match must end at or after searchStart + minEnd
  bool multiLine = false;  // option m of the command
  bool useHints = true;
};

// The matcher's working memory, kept with the compiled command so that repeated searches do
// not allocate.
enum class Entry : std::uint8_t {
  Choice,     // resume at a with position b and repeat frame c
  Greedy,     // simple greedy repeat a: start b, position c, count d, run cache e, frame f
  Lazy,       // simple minimal repeat a: position b, count c, frame d
  Round,      // minimal complex repeat: one more round of frame a at position b
  Barrier,    // look-ahead node a entered at position b with frame c
  UndoOpen,   // group a's pending start was b
  UndoGroup,  // group a was (b, c)
  UndoFrame,  // frame a had count b and last round position c
  FrameMark,  // frames above a are released
};

struct StackEntry {
  Entry kind;
  std::int32_t a, b, c, d, e, f;
};

struct RepeatFrame {
  std::int32_t count;    // rounds taken, -1 before the first
  std::int32_t lastPos;  // where the last round started
  std::int32_t node;     // the RepeatComplex node
  std::int32_t parent;   // enclosing active frame, -1 none
  bool lazy;
};

struct MatchScratch {
  std::vector<std::int32_t> starts, ends, open;  // group positions, -1 = did not take part
  std::vector<StackEntry> stack;
  std::vector<RepeatFrame> frames;
};

// Runs the program over the target; on a match scratch.starts/ends hold the groups
// (groupCount + 1 entries). steps counts over a whole call and is checked against kStepLimit.
SearchStatus Search(const Program& program, SearchHints& hints, const SearchRequest& request,
                    MatchScratch& scratch, std::uint64_t& steps);

// ---- Commands -----------------------------------------------------------------------------

enum class CommandKind : std::uint8_t { Match, Subst, Translate };

struct ParsedCommand {
  CommandKind kind = CommandKind::Match;
  std::size_t firstBegin = 0, firstEnd = 0;    // pattern or from-list
  std::size_t secondBegin = 0, secondEnd = 0;  // replacement or to-list
  std::uint32_t options = 0;
};

// Splits a command into its parts. Returns nullptr or the failure message.
const char* ParseCommand(const std::uint8_t* command, std::size_t length, ParsedCommand& out);

// ---- Replacement --------------------------------------------------------------------------

struct ReplacementPiece {
  int group = -1;  // -1: literal bytes; else a group number (0 = the whole match)
  std::size_t offset = 0, length = 0;  // literal bytes in Replacement::literals
};

struct Replacement {
  bool raw = true;
  std::string text;  // the replacement as written
  std::string literals;
  std::vector<ReplacementPiece> pieces;
};

void ParseReplacement(const std::uint8_t* text, std::size_t length, Replacement& out);

// Expands a tr command's lists into the (from, to) table ended by (kTranslateEnd, kTranslateEnd).
void BuildTranslateTable(const std::uint8_t* from, std::size_t fromLength, const std::uint8_t* to,
                         std::size_t toLength, std::uint32_t options,
                         std::vector<std::uint16_t>& table);

// Decodes one escape after a backslash in replacements and tr lists (pos at the byte after the
// backslash; advanced past the escape). Shared with the pattern compiler for \a \e \f \n \r \t
// \xHH \0oo \cX.
bool DecodeSimpleEscape(const std::uint8_t* text, std::size_t length, std::size_t& pos,
                        std::uint8_t& value);

// ---- The compiled command -----------------------------------------------------------------

struct CompiledCommand : RegexHandle {
  std::string commandText;
  CommandKind kind = CommandKind::Match;
  std::uint32_t options = 0;
  std::string pattern;
  Program program;
  SearchHints hints;
  Replacement replacement;
  std::vector<std::uint16_t> translate;
  std::vector<const char*> groupStarts, groupEnds;
  std::vector<char> result;
  MatchScratch scratch;
  const char* lastTargetStart = nullptr;
  const char* lastTargetEnd = nullptr;
  bool useHints = true;  // tests turn the hints off to check that they never change a result
};

// Searches the target of a compiled m or s command from searchStart and records the groups in
// the handle's group arrays (all null when nothing matched).
SearchStatus SearchCommand(CompiledCommand& command, const char* target, std::size_t length,
                           std::size_t searchStart, std::size_t minEnd, std::uint64_t& steps);

// The substitution loop of an s command; returns the count (0 with message on failure).
int RunSubstitution(CompiledCommand& command, const char* target, std::size_t length, char* message,
                    std::uint64_t& steps);

// Writes a failure text (at most 31 bytes and the NUL) into the caller's message buffer.
void SetMessage(char* message, const char* text);

inline constexpr const char* kMatchLimitMessage = "match limit over";

// Test hook: switch the search hints of a compiled command on or off.
void SetHintsEnabled(RegexHandle* handle, bool enabled);

}  // namespace yk::regex_detail
