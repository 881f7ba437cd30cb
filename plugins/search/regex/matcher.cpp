// The matcher: a backtracking interpreter of the node program.
//
// Choice points and the undo records of group, repeat-frame and position changes live on one
// backtrack stack in heap memory, so the machine stack does not grow with the subject. Steps
// are counted over a whole call; past kStepLimit the search gives up.
#include <algorithm>
#include <cstring>

#include "plugins/search/regex/regex_internal.h"

namespace yk::regex_detail {

bool IsTrailByte(const std::uint8_t* text, std::size_t lo, std::size_t pos) {
  return (LeadRunBefore(text, lo, pos) & 1) != 0;
}

namespace {

constexpr std::size_t kMaxStackEntries = std::size_t{1} << 23;

using Frame = RepeatFrame;

class Matcher {
 public:
  Matcher(const Program& program, const SearchHints& hints, const SearchRequest& request,
          MatchScratch& scratch, std::uint64_t& steps)
      : p_(program),
        branchSet_(request.useHints && !hints.branchSets.empty() ? hints.branchSet.data()
                                                                 : nullptr),
        branchSets_(hints.branchSets.data()),
        repeatHints_(request.useHints && !hints.repeatHints.empty() ? hints.repeatHints.data()
                                                                    : nullptr),
        followSets_(hints.followSets.data()),
        nodes_(program.nodes.data()),
        byteSets_(program.byteSets.data()),
        text_(request.text),
        len_(static_cast<std::int32_t>(request.length)),
        searchStart_(static_cast<std::int32_t>(request.searchStart)),
        minEnd_(static_cast<std::int32_t>(request.searchStart + request.minEnd)),
        kanji_(program.kanji),
        stepsOut_(steps),
        steps_(steps),
        stack_(scratch.stack),
        frames_(scratch.frames) {
    prevIsBreak_ =
        request.searchStart == 0 || (request.multiLine && text_[request.searchStart - 1] == '\n');
    const std::size_t groups = static_cast<std::size_t>(program.groupCount) + 1;
    if (scratch.starts.size() != groups) {  // every attempt resets them; only the size counts
      scratch.starts.assign(groups, -1);
      scratch.ends.assign(groups, -1);
      scratch.open.assign(groups, -1);
    }
    slots_ = groups;
    gs_ = scratch.starts.data();
    ge_ = scratch.ends.data();
    open_ = scratch.open.data();
  }
  Matcher(const Matcher&) = delete;
  Matcher& operator=(const Matcher&) = delete;
  ~Matcher() { stepsOut_ = steps_; }

  bool limitHit() const { return limitHit_; }
  int Width(int node, std::int32_t pos) const { return ItemWidth(nodes_[node], pos); }
  int CharAt(std::int32_t pos) const { return CharWidth(pos); }

  // One attempt at pos. True on a match (groups in gs_/ge_).
  bool Attempt(std::int32_t pos) { return AttemptFrom(pos, p_.entry, pos); }

  // Runs a program given as steps that only go forward (it has no groups).
  bool RunLinear(const std::vector<SearchHints::LinearStep>& steps, std::int32_t start) {
    using Kind = SearchHints::LinearStep::Kind;
    std::int32_t pos = start;
    const std::size_t count = steps.size();
    for (std::size_t i = 0; i < count; ++i) {
      const SearchHints::LinearStep& s = steps[i];
      if (!Step()) return false;
      const Node& n = nodes_[s.node];
      switch (s.kind) {
        case Kind::Bytes: {
          // "." and its single-line form find their end with the library's search.
          std::int32_t q =
              s.lineItem ? RunOfItems(n, pos, s.max) : RunOfBytes(byteSets_[n.byteSet], pos, s.max);
          if (q - pos < s.min) return false;
          steps_ += static_cast<std::uint64_t>((q - pos) >> 3);
          if (s.givesBack) {  // only tests follow: give back until they hold
            for (;;) {
              if (TestsHold(steps, i + 1, count, q)) return Accept(start, q);
              if (q - pos <= s.min || !Step()) return false;
              --q;
            }
          }
          pos = q;
          break;
        }
        case Kind::Literal:
          if (!ExactAt(n, pos)) return false;
          pos += n.len;
          break;
        case Kind::WordBoundary:
        case Kind::NonWordBoundary:
          if (!TestsHold(steps, i, i + 1, pos)) return false;
          break;
      }
    }
    return Accept(start, pos);
  }

  // Whether the word-boundary tests steps[from, to) hold at pos.
  bool TestsHold(const std::vector<SearchHints::LinearStep>& steps, std::size_t from,
                 std::size_t to, std::int32_t pos) {
    if (from >= to) return true;
    const bool boundary = IsWordBefore(pos) != IsWordAt(pos);
    for (std::size_t i = from; i < to; ++i) {
      if (boundary != (steps[i].kind == SearchHints::LinearStep::Kind::WordBoundary)) return false;
    }
    return true;
  }

  // The match [start, end) found without running the program (which sets no group): as the
  // End node would take it.
  bool Accept(std::int32_t start, std::int32_t end) {
    if (end < minEnd_) return false;
    gs_[0] = start;
    ge_[0] = end;
    return true;
  }

  // An attempt that starts at `start` but whose first nodes, up to `pc`, are known to have
  // matched up to `pos` and to have set nothing.
  bool AttemptFrom(std::int32_t start, int pc, std::int32_t pos) {
    if (slots_ == 1) {  // no capturing groups: skip the fill calls on this hot path
      gs_[0] = ge_[0] = open_[0] = -1;
    } else {
      std::fill(gs_, gs_ + slots_, -1);
      std::fill(ge_, ge_ + slots_, -1);
      std::fill(open_, open_ + slots_, -1);
    }
    stack_.clear();
    frames_.clear();
    matchStart_ = start;
    return Run(pc, pos);
  }

 private:
  bool Step(std::uint64_t n = 1) {
    steps_ += n;
    if (steps_ > kStepLimit) {
      limitHit_ = true;
      return false;
    }
    return true;
  }

  bool Push(Entry kind, std::int32_t a, std::int32_t b = 0, std::int32_t c = 0, std::int32_t d = 0,
            std::int32_t e = 0, std::int32_t f = 0) {
    if (stack_.size() >= kMaxStackEntries) {
      limitHit_ = true;
      return false;
    }
    if (stack_.size() == stack_.capacity()) {  // starts at 128 entries, grows by half
      stack_.reserve(std::min(
          kMaxStackEntries, std::max<std::size_t>(128, stack_.capacity() + stack_.capacity() / 2)));
    }
    stack_.push_back({kind, a, b, c, d, e, f});
    return true;
  }

  // True when the alternative of Branch node `branch` cannot start at pos.
  bool CannotStart(int branch, std::int32_t pos) const {
    if (!branchSet_) return false;
    const int set = branchSet_[branch];
    return set >= 0 && (pos >= len_ || !branchSets_[set][text_[pos]]);
  }

  int Next(int index) const {
    const int off = nodes_[index].next;
    return off == 0 ? -1 : index + off;
  }

  // Whether the character at pos is a word character. Under k a double-byte character is one
  // non-word character, so a word byte there counts only when it is not a trail byte.
  bool IsWordAt(std::int32_t pos) {
    return pos >= 0 && pos < len_ && IsWordByte(text_[pos]) && !(kanji_ && IsTrailAt(pos));
  }

  // Whether the character that ends right before pos is a word character.
  bool IsWordBefore(std::int32_t pos) { return IsWordAt(pos - 1); }

  // Under k: true when text_[pos] is the second byte of a double-byte character, judged by the
  // lead-range bytes right before it back to the target start. The last run of lead-range
  // bytes looked at is kept, so neighbouring questions cost nothing.
  bool IsTrailAt(std::int32_t pos) {
    if (pos <= 0 || !IsLeadByte(text_[pos - 1])) return false;
    const std::int32_t last = pos - 1;
    if (last < leadRunLo_ || last > leadRunHi_) {
      std::int32_t hi = leadRunHi_;
      if (leadRunLo_ >= 0 && last > hi) {
        while (hi < last && IsLeadByte(text_[hi + 1])) ++hi;
      }
      if (leadRunLo_ >= 0 && hi == last) {
        Step(static_cast<std::uint64_t>((hi - leadRunHi_) >> 3));
      } else {
        const auto lo =
            static_cast<std::int32_t>(static_cast<std::size_t>(last) -
                                      LeadRunBefore(text_, 0, static_cast<std::size_t>(last)));
        Step(static_cast<std::uint64_t>((last - lo) >> 3));
        leadRunLo_ = lo;
      }
      leadRunHi_ = last;
    }
    return ((pos - leadRunLo_) & 1) != 0;
  }

  int CharWidth(std::int32_t pos) const {
    return (kanji_ && IsLeadByte(text_[pos]) && pos + 1 < len_) ? 2 : 1;
  }

  // The end of the run of at most max bytes from pos that are in the set. For long runs
  // eight bytes are looked up at a time while the target has them, so a run costs one guess
  // at its end rather than one per byte.
  std::int32_t RunOfBytes(const std::array<bool, 256>& set, std::int32_t pos,
                          std::int32_t max) const {
    const std::int32_t limit = std::min<std::int64_t>(len_, static_cast<std::int64_t>(pos) + max);
    std::int32_t q = pos;
    while (max > 8 && len_ - q >= 8) {
      const std::uint8_t* t = text_ + q;
      const unsigned in = unsigned{set[t[0]]} | unsigned{set[t[1]]} << 1 |
                          unsigned{set[t[2]]} << 2 | unsigned{set[t[3]]} << 3 |
                          unsigned{set[t[4]]} << 4 | unsigned{set[t[5]]} << 5 |
                          unsigned{set[t[6]]} << 6 | unsigned{set[t[7]]} << 7;
      const auto run = static_cast<std::int32_t>(__builtin_ctz(~in));  // 8 when all are in
      if (run < 8 || limit - q <= 8) return std::min(q + run, limit);
      q += 8;
    }
    while (q < limit && set[text_[q]]) ++q;
    return q;
  }

  // The end of the run of at most max items from pos, for items of one byte each.
  std::int32_t RunOfItems(const Node& item, std::int32_t pos, std::int32_t max) const {
    if (item.op != Op::AnyChar && item.op != Op::AnyCharAll && item.byteSet >= 0) {
      return RunOfBytes(byteSets_[item.byteSet], pos, max);  // the common case
    }
    const std::int32_t limit = std::min<std::int64_t>(len_, static_cast<std::int64_t>(pos) + max);
    if (item.op == Op::AnyChar) {  // up to a line break: the library's search is best
      const void* nl = std::memchr(text_ + pos, '\n', static_cast<std::size_t>(limit - pos));
      return nl ? static_cast<std::int32_t>(static_cast<const std::uint8_t*>(nl) - text_) : limit;
    }
    if (item.op == Op::AnyCharAll) return limit;
    std::int32_t q = pos;
    while (q < limit && ItemWidth(item, q)) ++q;
    return q;
  }

  // Whether the literal run of an Exact node matches at pos.
  bool ExactAt(const Node& n, std::int32_t pos) const {
    if (pos + n.len > len_) return false;
    return MaskedEqual(text_ + pos, p_.Literal(n), p_.LiteralMask(n), n.len);
  }

  // Bytes one simple item consumes at pos, 0 when it does not match.
  int ItemWidth(const Node& n, std::int32_t pos) const {
    if (pos >= len_) return 0;
    const std::uint8_t b = text_[pos];
    if (n.byteSet >= 0) return byteSets_[n.byteSet][b] ? 1 : 0;
    switch (n.op) {
      case Op::Exact: {
        const std::uint8_t l = p_.Literal(n)[0];
        return (b == l || (n.fold && FoldByte(b) == l)) ? 1 : 0;
      }
      case Op::AnyChar:
        return b == '\n' ? 0 : CharWidth(pos);
      case Op::AnyCharAll:
        return CharWidth(pos);
      case Op::CharClass: {
        const CharClass& c = p_.classes[n.arg];
        const int w = CharWidth(pos);
        const std::uint32_t v = w == 2 ? (static_cast<std::uint32_t>(b) << 8) | text_[pos + 1]
                                       : (n.fold ? FoldByte(b) : b);
        return c.Contains(v) ? w : 0;
      }
      case Op::WordChar:
        return IsWordByte(b) ? 1 : 0;
      case Op::NonWordChar:
        return IsWordByte(b) ? 0 : CharWidth(pos);
      case Op::SpaceChar:
        return IsSpaceByte(b) ? 1 : 0;
      case Op::NonSpaceChar:
        return IsSpaceByte(b) ? 0 : CharWidth(pos);
      case Op::DigitChar:
        return IsDigitByte(b) ? 1 : 0;
      case Op::NonDigitChar:
        return IsDigitByte(b) ? 0 : CharWidth(pos);
      default:
        return 0;
    }
  }

  // True when the item can consume a double-byte character (so give-back must step over it).
  bool VariableWidth(const Node& n) const {
    return kanji_ && MayTakeDoubleByte(n.op) && n.byteSet < 0;
  }

  // Takes up to max items from pos; returns the count and the end position.
  std::int32_t Take(const Node& item, std::int32_t pos, std::int32_t max, std::int32_t& end) {
    std::int32_t count = 0;
    if (!VariableWidth(item)) {
      end = RunOfItems(item, pos, max);
      count = end - pos;
    } else {
      std::int32_t q = pos;
      while (count < max) {
        const int w = ItemWidth(item, q);
        if (!w) break;
        q += w;
        ++count;
      }
      end = q;
    }
    Step(static_cast<std::uint64_t>(count >> 3));
    return count;
  }

  // Start of the character that ends right before pos (pos > lo, lo a character start).
  // runStart caches the start of the current run of lead-range bytes.
  std::int32_t PrevCharStart(std::int32_t lo, std::int32_t pos, std::int32_t& runStart) {
    const std::int32_t q = pos - 1;  // candidate start; a trail byte when an odd run precedes it
    if (q <= lo || !IsLeadByte(text_[q - 1])) return q;
    if (runStart < 0 || runStart > q - 1) {
      std::int32_t r = q - 1;
      while (r > lo && IsLeadByte(text_[r - 1])) --r;
      Step(static_cast<std::uint64_t>((q - r) >> 3));
      runStart = r;
    }
    const std::int32_t count = q - runStart;
    return (count & 1) ? q - 1 : q;
  }

  // The hints of the simple repeat at node rep, or null when the hints are off.
  const SearchHints::RepeatHint* HintOf(int rep) const {
    return repeatHints_ ? &repeatHints_[rep] : nullptr;
  }

  // Whether the rest of the program after a repeat may start at pos.
  bool FollowFits(const SearchHints::RepeatHint* hint, std::int32_t pos) const {
    if (!hint || hint->follow < 0) return true;
    return pos < len_ && followSets_[hint->follow][text_[pos]];
  }

  // Gives back items of a greedy repeat until the rest may match; false when below min.
  bool GiveBack(StackEntry& e, std::int32_t min) {
    const Node& item = nodes_[e.a + 1];
    const SearchHints::RepeatHint* hint = HintOf(e.a);
    const bool variable = VariableWidth(item);
    while (e.d > min) {
      if (!Step()) return false;
      e.c = variable ? PrevCharStart(e.b, e.c, e.e) : e.c - 1;
      --e.d;
      if (FollowFits(hint, e.c)) return true;
    }
    return e.d == min && FollowFits(hint, e.c);
  }

  // Star and Plus carry their bounds (0 or 1, kUnbounded) like Repeat.
  static void RepeatBounds(const Node& n, std::int32_t& min, std::int32_t& max) {
    min = n.min;
    max = n.max >= kUnbounded ? INT32_MAX : n.max;
  }

  bool SetFrame(std::int32_t f, std::int32_t count, std::int32_t lastPos) {
    if (!Push(Entry::UndoFrame, f, frames_[f].count, frames_[f].lastPos)) return false;
    frames_[f].count = count;
    frames_[f].lastPos = lastPos;
    return true;
  }

  // Undoes entries down to and including the topmost barrier.
  void UnwindBarrier() {
    while (!stack_.empty()) {
      const StackEntry e = stack_.back();
      stack_.pop_back();
      if (e.kind == Entry::Barrier) return;
      Undo(e);
    }
  }

  void Undo(const StackEntry& e) {
    switch (e.kind) {
      case Entry::UndoOpen:
        open_[e.a] = e.b;
        break;
      case Entry::UndoGroup:
        gs_[e.a] = e.b;
        ge_[e.a] = e.c;
        break;
      case Entry::UndoFrame:
        frames_[e.a].count = e.b;
        frames_[e.a].lastPos = e.c;
        break;
      case Entry::FrameMark:
        frames_.resize(static_cast<std::size_t>(e.a));
        break;
      default:
        break;
    }
  }

  bool Run(int pc, std::int32_t pos) {
    std::int32_t cc = -1;  // the innermost active complex repeat
    for (;;) {
      bool ok = true;
      if (!Step()) return false;
      if (pc < 0) {
        ok = false;
      } else {
        const Node& n = nodes_[pc];
        switch (n.op) {
          case Op::End:
            if (pos < minEnd_) {
              ok = false;
              break;
            }
            gs_[0] = matchStart_;
            ge_[0] = pos;
            return true;
          case Op::Exact:
            ok = ExactAt(n, pos);
            if (ok) {
              pos += n.len;
              pc = Next(pc);
            }
            break;
          case Op::AnyChar:
          case Op::AnyCharAll:
          case Op::CharClass:
          case Op::WordChar:
          case Op::NonWordChar:
          case Op::SpaceChar:
          case Op::NonSpaceChar:
          case Op::DigitChar:
          case Op::NonDigitChar: {
            const int w = ItemWidth(n, pos);
            if (!w) {
              ok = false;
            } else {
              pos += w;
              pc = Next(pc);
            }
            break;
          }
          case Op::LineStart:
          case Op::StringStart:
            ok = pos == searchStart_ && prevIsBreak_;
            pc = Next(pc);
            break;
          case Op::MultiLineStart:
            ok = pos == searchStart_ ? prevIsBreak_ : (pos > 0 && text_[pos - 1] == '\n');
            pc = Next(pc);
            break;
          case Op::SearchStart:
            ok = pos == searchStart_;
            pc = Next(pc);
            break;
          case Op::LineEnd:
          case Op::StringEnd:
            ok = pos == len_ || (pos == len_ - 1 && text_[pos] == '\n');
            pc = Next(pc);
            break;
          case Op::MultiLineEnd:
            ok = pos == len_ || text_[pos] == '\n';
            pc = Next(pc);
            break;
          case Op::WordBoundary:
          case Op::NonWordBoundary: {
            const bool boundary = IsWordBefore(pos) != IsWordAt(pos);
            ok = boundary == (n.op == Op::WordBoundary);
            pc = Next(pc);
            break;
          }
          case Op::Nothing:
          case Op::Back:
            pc = Next(pc);
            break;
          case Op::Branch: {
            int alt = pc;
            while (alt >= 0 && nodes_[alt].op == Op::Branch && CannotStart(alt, pos))
              alt = Next(alt);
            if (alt < 0 || nodes_[alt].op != Op::Branch) {
              ok = false;  // no alternative can start here
              break;
            }
            int next = Next(alt);
            while (next >= 0 && nodes_[next].op == Op::Branch && CannotStart(next, pos)) {
              next = Next(next);
            }
            if (next >= 0 && nodes_[next].op == Op::Branch) {
              if (!Push(Entry::Choice, next, pos, cc)) return false;
            }
            pc = alt + 1;
            break;
          }
          case Op::Open:
            if (!Push(Entry::UndoOpen, static_cast<std::int32_t>(n.arg), open_[n.arg]))
              return false;
            open_[n.arg] = pos;
            pc = Next(pc);
            break;
          case Op::Close:
            if (!Push(Entry::UndoGroup, static_cast<std::int32_t>(n.arg), gs_[n.arg], ge_[n.arg])) {
              return false;
            }
            gs_[n.arg] = open_[n.arg];
            ge_[n.arg] = pos;
            pc = Next(pc);
            break;
          case Op::BackRef: {
            const std::uint32_t g = n.arg;
            if (g >= slots_ || gs_[g] < 0) {
              ok = false;
              break;
            }
            const std::int32_t len = ge_[g] - gs_[g];
            if (pos + len > len_) {
              ok = false;
              break;
            }
            const std::uint8_t* a = text_ + gs_[g];
            const std::uint8_t* b = text_ + pos;
            if (!n.fold) {
              ok = std::memcmp(a, b, static_cast<std::size_t>(len)) == 0;
            } else {
              // Letters compare in either case; under k the trail byte of a double-byte
              // character compares exactly.
              for (std::int32_t i = 0; i < len && ok; ++i) {
                if (kanji_ && IsLeadByte(a[i]) && i + 1 < len) {
                  ok = a[i] == b[i] && a[i + 1] == b[i + 1];
                  ++i;
                } else {
                  ok = FoldByte(a[i]) == FoldByte(b[i]);
                }
              }
            }
            Step(static_cast<std::uint64_t>(len >> 3));
            pos += len;
            pc = Next(pc);
            break;
          }
          case Op::Star:
          case Op::Plus:
          case Op::Repeat:
          case Op::Lazy: {
            const bool lazy = n.op == Op::Lazy;
            const int rep = lazy ? Next(pc) : pc;
            const Node& r = nodes_[rep];
            if (r.op == Op::RepeatComplex) {
              pc = rep;
              ok = EnterComplex(pc, pos, cc, lazy);
              break;
            }
            std::int32_t min, max;
            RepeatBounds(r, min, max);
            const Node& item = nodes_[rep + 1];
            const SearchHints::RepeatHint* hint = HintOf(rep);
            std::int32_t end = pos;
            if (!lazy) {
              std::int32_t count;
              if (item.byteSet >= 0) {  // the common case: one byte per item
                end = RunOfItems(item, pos, max);
                count = end - pos;
                steps_ += static_cast<std::uint64_t>(count >> 3);
              } else {
                count = Take(item, pos, max, end);
              }
              if (count < min) {
                ok = false;
                break;
              }
              StackEntry e{Entry::Greedy, rep, pos, end, count, -1, cc};
              const bool possessive = hint && hint->possessive;
              if (!FollowFits(hint, end) && (possessive || !GiveBack(e, min))) {
                ok = false;
                break;
              }
              // A possessive repeat: giving back cannot help the rest.
              if (e.d > min && !possessive && !Push(Entry::Greedy, e.a, e.b, e.c, e.d, e.e, e.f)) {
                return false;
              }
              pos = e.c;
            } else {
              std::int32_t count = Take(item, pos, min, end);
              if (count < min) {
                ok = false;
                break;
              }
              // One more item at a time while the rest cannot start where the items end.
              while (count < max && !FollowFits(hint, end)) {
                const int w = ItemWidth(item, end);
                if (!w || !Step()) break;
                end += w;
                ++count;
              }
              if (!FollowFits(hint, end)) {
                ok = false;
                break;
              }
              if (count < max && !Push(Entry::Lazy, rep, end, count, cc)) return false;
              pos = end;
            }
            pc = Next(rep);
            break;
          }
          case Op::RepeatComplex:
            ok = EnterComplex(pc, pos, cc, false);
            break;
          case Op::WhileRepeat:
            ok = WhileRepeat(pc, pos, cc);
            break;
          case Op::IfMatch:
          case Op::UnlessMatch:
            if (!Push(Entry::Barrier, pc, pos, cc)) return false;
            ++pc;
            break;
          case Op::Succeed: {
            // The enclosed part of a look-ahead matched.
            std::size_t bi = stack_.size();
            while (bi > 0 && stack_[bi - 1].kind != Entry::Barrier) --bi;
            if (bi == 0) {
              ok = false;
              break;
            }
            const StackEntry barrier = stack_[bi - 1];
            if (nodes_[barrier.a].op == Op::UnlessMatch) {
              UnwindBarrier();
              ok = false;
              break;
            }
            // Keep the undo records (the part's groups stay set), drop its choice points.
            std::size_t out = bi - 1;
            for (std::size_t i = bi; i < stack_.size(); ++i) {
              const Entry k = stack_[i].kind;
              if (k == Entry::UndoOpen || k == Entry::UndoGroup || k == Entry::UndoFrame ||
                  k == Entry::FrameMark) {
                stack_[out++] = stack_[i];
              }
            }
            stack_.resize(out);
            pos = barrier.b;
            cc = barrier.c;
            pc = Next(barrier.a);
            break;
          }
        }
      }
      if (limitHit_) return false;
      if (ok) continue;
      if (!Backtrack(pc, pos, cc)) return false;
    }
  }

  bool EnterComplex(int& pc, std::int32_t& pos, std::int32_t& cc, bool lazy) {
    if (!Push(Entry::FrameMark, static_cast<std::int32_t>(frames_.size()))) return false;
    frames_.push_back({-1, -1, pc, cc, lazy});
    cc = static_cast<std::int32_t>(frames_.size() - 1);
    return WhileRepeat(pc, pos, cc);
  }

  // Decides about one more round of the frame cc at pos.
  bool WhileRepeat(int& pc, std::int32_t& pos, std::int32_t& cc) {
    if (cc < 0) return false;
    const Frame f = frames_[cc];
    const Node& r = nodes_[f.node];
    const std::int32_t min = r.min;
    const std::int32_t max = r.max >= kUnbounded ? INT32_MAX : r.max;
    const std::int32_t n = f.count + 1;
    const int body = f.node + 1;
    const int rest = Next(f.node);
    if (n < min) {  // below the minimum every round counts, an empty one too
      if (!SetFrame(cc, n, pos)) return false;
      pc = body;
      return true;
    }
    if (pos == f.lastPos) {  // from the minimum on, an empty round ends the repetition
      cc = f.parent;
      pc = rest;
      return true;
    }
    if (f.lazy) {
      if (n < max && !Push(Entry::Round, cc, pos)) return false;
      cc = f.parent;
      pc = rest;
      return true;
    }
    if (n < max) {
      if (!Push(Entry::Choice, rest, pos, f.parent)) return false;
      if (!SetFrame(cc, n, pos)) return false;
      pc = body;
      return true;
    }
    cc = f.parent;
    pc = rest;
    return true;
  }

  // Pops to the latest choice point and resumes there. False when none is left.
  bool Backtrack(int& pc, std::int32_t& pos, std::int32_t& cc) {
    while (!stack_.empty()) {
      if (!Step()) return false;
      StackEntry e = stack_.back();
      stack_.pop_back();
      switch (e.kind) {
        case Entry::Choice:
          pc = e.a;
          pos = e.b;
          cc = e.c;
          return true;
        case Entry::Greedy: {
          std::int32_t min, max;
          RepeatBounds(nodes_[e.a], min, max);
          if (!GiveBack(e, min)) {
            if (limitHit_) return false;
            continue;
          }
          if (e.d > min && !Push(Entry::Greedy, e.a, e.b, e.c, e.d, e.e, e.f)) return false;
          pos = e.c;
          pc = Next(e.a);
          cc = e.f;
          return true;
        }
        case Entry::Lazy: {
          std::int32_t min, max;
          RepeatBounds(nodes_[e.a], min, max);
          const Node& item = nodes_[e.a + 1];
          const SearchHints::RepeatHint* hint = HintOf(e.a);
          std::int32_t end = e.b, count = e.c;
          bool fits = false;
          while (count < max) {  // one more item, and more while the rest cannot start there
            const int w = ItemWidth(item, end);
            if (!w) break;
            end += w;
            ++count;
            if (FollowFits(hint, end)) {
              fits = true;
              break;
            }
            if (!Step()) return false;
          }
          if (!fits) continue;
          if (count < max && !Push(Entry::Lazy, e.a, end, count, e.d)) return false;
          pos = end;
          pc = Next(e.a);
          cc = e.d;
          return true;
        }
        case Entry::Round: {
          cc = e.a;
          pos = e.b;
          const std::int32_t n = frames_[cc].count + 1;
          if (!SetFrame(cc, n, pos)) return false;
          pc = frames_[cc].node + 1;
          return true;
        }
        case Entry::Barrier:
          if (nodes_[e.a].op == Op::UnlessMatch) {  // the enclosed part failed: success
            pos = e.b;
            cc = e.c;
            pc = Next(e.a);
            return true;
          }
          continue;
        default:
          Undo(e);
          continue;
      }
    }
    return false;
  }

  const Program& p_;
  const int* branchSet_;  // null: try every alternative
  const std::array<bool, 256>* branchSets_;
  const SearchHints::RepeatHint* repeatHints_;  // null: no hints for simple repeats
  const std::array<bool, 256>* followSets_;
  const Node* nodes_;
  const std::array<bool, 256>* byteSets_;
  const std::uint8_t* text_;
  std::int32_t len_;
  std::int32_t searchStart_;
  std::int32_t minEnd_;
  bool kanji_;
  bool prevIsBreak_ = true;
  std::uint64_t& stepsOut_;  // the caller's count, brought up to date when the matcher ends
  std::uint64_t steps_;      // kept here so that the hot loop counts in a register
  bool limitHit_ = false;
  std::int32_t matchStart_ = 0;
  std::int32_t leadRunLo_ = -1, leadRunHi_ = -1;  // a run of lead-range bytes, both ends in it
  std::size_t slots_ = 1;                         // groupCount + 1
  std::int32_t* gs_;                              // group starts, -1 = did not take part
  std::int32_t* ge_;                              // group ends
  std::int32_t* open_;                            // pending starts of open groups
  std::vector<StackEntry>& stack_;
  std::vector<Frame>& frames_;
};

}  // namespace

SearchStatus Search(const Program& program, SearchHints& hints, const SearchRequest& request,
                    MatchScratch& scratch, std::uint64_t& steps) {
  if (program.nodes.empty() || request.searchStart > request.length) return SearchStatus::NoMatch;
  Matcher matcher(program, hints, request, scratch, steps);
  const std::uint8_t* text = request.text;
  const std::size_t len = request.length;
  const std::size_t start = request.searchStart;
  const bool kanji = program.kanji;
  const bool useHints = request.useHints;

  std::size_t first = start;
  std::size_t last = len;  // candidate starts lie in [first, last]
  bool mustPresent = false;
  TrailTest mustTrailTest(text, start), scanTrailTest(text, start);
  TrailTest* mustTrail = kanji ? &mustTrailTest : nullptr;
  TrailTest* scanTrail = kanji ? &scanTrailTest : nullptr;
  std::size_t mustHit = len;
  if (useHints && hints.mustActive && !hints.mustIsStart) {
    const std::size_t offset =
        hints.mustOffset >= 0 ? static_cast<std::size_t>(hints.mustOffset) : 0;
    const std::size_t from = start + offset;
    const std::size_t hit = from <= len ? FindMust(hints, text, from, len, mustTrail) : len;
    if (hit >= len) {
      if (hints.usefulness < 1000) ++hints.usefulness;
      return SearchStatus::NoMatch;
    }
    mustPresent = true;
    mustHit = hit;
    if (hints.mustOffset >= 0) {
      first = std::max(start, hit - offset);
      last = len - (offset + hints.must.bytes.size());
    }
  }

  auto finish = [&](bool matched) {
    if (matcher.limitHit()) return SearchStatus::LimitOver;
    if (matched) return SearchStatus::Match;
    if (mustPresent && --hints.usefulness < 0) hints.mustActive = false;
    return SearchStatus::NoMatch;
  };
  const bool linear = useHints && !hints.linear.empty();
  auto attempt = [&](std::size_t p) {
    return linear ? matcher.RunLinear(hints.linear, static_cast<std::int32_t>(p))
                  : matcher.Attempt(static_cast<std::int32_t>(p));
  };

  const auto anchor = useHints ? hints.anchor : SearchHints::Anchor::None;
  if (anchor == SearchHints::Anchor::SearchStart) {
    return finish(first == start && attempt(start));
  }
  if (anchor == SearchHints::Anchor::None && mustPresent && hints.mustRowNode >= 0) {
    // Each hit: the row of class bytes that ends there is the only place a match can start.
    const int item = hints.mustRowNode + 1;
    std::size_t hit = mustHit;
    for (;;) {
      std::size_t r = hit;
      while (r > start && matcher.Width(item, static_cast<std::int32_t>(r - 1)) == 1) --r;
      if (scanTrail && r > start && (*scanTrail)(r)) ++r;
      if (attempt(r)) return finish(true);
      if (matcher.limitHit() || hit + 1 >= len) break;
      hit = FindMust(hints, text, hit + 1, len, mustTrail);
      if (hit >= len) break;
    }
    return finish(false);
  }
  if (anchor == SearchHints::Anchor::LineStarts) {
    std::size_t p = start;
    for (;;) {
      if (p >= first && p <= last && attempt(p)) return finish(true);
      if (matcher.limitHit() || p >= len) break;
      const void* nl = std::memchr(text + p, '\n', len - p);
      if (!nl) break;
      p = static_cast<std::size_t>(static_cast<const std::uint8_t*>(nl) - text) + 1;
      if (p > last) break;
    }
    return finish(false);
  }

  std::size_t p = first;
  if (scanTrail && p > start && (*scanTrail)(p)) ++p;
  const bool firstBytes = useHints && hints.hasFirstBytes;
  const bool literal = useHints && hints.startLiteralNode >= 0;
  const bool row = useHints && hints.startClassRow;
  const bool wordStart = firstBytes && hints.startWordBoundary;
  // True when the byte before p is surely a word character of its own; under k a word byte
  // after a lead-range byte may be a trail byte, and the matcher decides.
  auto wordBefore = [&](std::size_t q) {
    return q > 0 && IsWordByte(text[q - 1]) && !(kanji && q >= 2 && IsLeadByte(text[q - 2]));
  };

  const std::size_t literalLength = hints.startLiteral.bytes.size();
  const bool literalOnly = hints.literalOnly;
  while (p <= last) {
    if (literal) {
      const std::size_t h = FindLiteral(hints.startLiteral, text, p, len, scanTrail);
      if (h >= len || h > last) break;
      p = h;
      if (hints.afterStartLiteral >= 0) {  // the scan has matched the literal already
        const auto s = static_cast<std::int32_t>(p);
        const auto e = static_cast<std::int32_t>(p + literalLength);
        if (literalOnly ? matcher.Accept(s, e)
                        : matcher.AttemptFrom(s, hints.afterStartLiteral, e)) {
          return finish(true);
        }
        if (matcher.limitHit()) break;
        p += kanji ? static_cast<std::size_t>(matcher.CharAt(static_cast<std::int32_t>(p))) : 1;
        continue;
      }
    } else if (firstBytes) {
      for (;;) {
        if (p >= len) break;
        if (!hints.firstBytes.set[text[p]]) p = FindInByteSet(hints.firstBytes, text, p, len);
        if (p >= len) break;
        if (scanTrail && (*scanTrail)(p)) {  // the trail of a character starts nothing
          ++p;
          continue;
        }
        if (wordStart && wordBefore(p)) {  // inside a word: no boundary before any of it
          while (p < len && IsWordByte(text[p])) ++p;
          continue;
        }
        break;
      }
      if (p >= len || p > last) break;
    }
    if (!hints.literalChoices.empty() && useHints) {
      // A choice among literal runs and nothing after them: the first run that fits wins.
      bool matched = false;
      for (const SearchHints::LiteralChoice& choice : hints.literalChoices) {
        const std::size_t n = choice.scan.bytes.size();
        if (text[p] != choice.firstByte &&
            !(choice.scan.fold && FoldByte(text[p]) == choice.firstByte))
          continue;
        if (p + n > len || !LiteralMatchesAt(choice.scan, text + p)) continue;
        if (matcher.Accept(static_cast<std::int32_t>(p), static_cast<std::int32_t>(p + n))) {
          matched = true;
          break;
        }
      }
      if (matched) return finish(true);
    } else if (attempt(p)) {
      return finish(true);
    }
    if (matcher.limitHit()) break;
    if (p >= len) break;
    if (row && matcher.Width(hints.startClassNode, static_cast<std::int32_t>(p))) {
      // Later starts in this row of matching characters cannot succeed either.
      int w;
      while (p < len &&
             (w = matcher.Width(hints.startClassNode, static_cast<std::int32_t>(p))) > 0) {
        p += static_cast<std::size_t>(w);
      }
      continue;
    }
    p += kanji ? static_cast<std::size_t>(matcher.CharAt(static_cast<std::int32_t>(p))) : 1;
  }
  return finish(false);
}

}  // namespace yk::regex_detail
