// Search hints computed after compilation: anchoring, the bytes a match can start with, the
// start literal and start class, and the must-have substring. They only narrow the positions
// at which the program is run; they never change a result.
#include <algorithm>
#include <cstring>

#include "plugins/search/regex/regex_internal.h"

namespace yk::regex_detail {

namespace {

bool IsClassLike(Op op) {
  switch (op) {
    case Op::CharClass:
    case Op::WordChar:
    case Op::NonWordChar:
    case Op::WordBoundary:
    case Op::NonWordBoundary:
    case Op::SpaceChar:
    case Op::NonSpaceChar:
    case Op::DigitChar:
    case Op::NonDigitChar:
      return true;
    default:
      return false;
  }
}

bool IsSingleAlternative(const Program& p, int branch) {
  const int next = p.Next(branch);
  return next < 0 || p.nodes[next].op != Op::Branch;
}

// Collects the bytes on which a match can start.
class FirstBytes {
 public:
  explicit FirstBytes(const Program& p, int budget = 20000) : p_(p), budget_(budget) {}

  // True when a match from `index` always consumes a first byte that is now in the set.
  bool Walk(int index, int depth) {
    while (index >= 0) {
      if (--budget_ < 0 || depth > 400) {
        unknown_ = true;
        return false;
      }
      const Node& n = p_.nodes[index];
      switch (n.op) {
        case Op::Exact:
          AddByte(p_.Literal(n)[0], n.fold);
          return true;
        case Op::Branch: {
          if (IsSingleAlternative(p_, index)) {
            ++index;
            continue;
          }
          bool all = true;
          for (int br = index; br >= 0 && p_.nodes[br].op == Op::Branch; br = p_.Next(br)) {
            if (!Walk(br + 1, depth + 1)) all = false;
            if (unknown_) return false;
          }
          return all;
        }
        case Op::Star:
          AddItem(p_.nodes[index + 1]);
          index = p_.Next(index);
          continue;
        case Op::Plus:
          AddItem(p_.nodes[index + 1]);
          return true;
        case Op::Repeat:
          AddItem(p_.nodes[index + 1]);
          if (n.min > 0) return true;
          index = p_.Next(index);
          continue;
        case Op::RepeatComplex: {
          const bool body = Walk(index + 1, depth + 1);
          if (unknown_) return false;
          if (body && n.min > 0) return true;
          index = p_.Next(index);
          continue;
        }
        case Op::BackRef:
          unknown_ = true;
          return false;
        case Op::WhileRepeat:
        case Op::End:
        case Op::Succeed:
          return false;
        default:
          if (IsCharItem(n.op)) {
            AddItem(n);
            return true;
          }
          index = p_.Next(index);  // groups, zero-width tests, look-ahead, Lazy, Nothing
          continue;
      }
    }
    return false;
  }

  bool unknown() const { return unknown_; }
  const std::array<bool, 256>& set() const { return set_; }

 private:
  void AddByte(std::uint8_t b, bool fold) {
    set_[b] = true;
    if (fold && b >= 'a' && b <= 'z') set_[b - 32] = true;
    if (fold && b >= 'A' && b <= 'Z') set_[b + 32] = true;
  }

  void AddItem(const Node& n) {
    for (int v = 0; v < 256; ++v) {
      const auto b = static_cast<std::uint8_t>(v);
      bool in = false;
      switch (n.op) {
        case Op::Exact:
          in = b == p_.Literal(n)[0] || (n.fold && FoldByte(b) == p_.Literal(n)[0]);
          break;
        case Op::AnyChar:
          in = b != '\n';
          break;
        case Op::AnyCharAll:
          in = true;
          break;
        case Op::CharClass: {
          const CharClass& c = p_.classes[n.arg];
          in = c.Contains(n.fold ? FoldByte(b) : b);
          if (p_.kanji && IsLeadByte(b) && (c.negated || c.hasWide)) in = true;
          break;
        }
        case Op::WordChar:
          in = IsWordByte(b);
          break;
        case Op::NonWordChar:
          in = !IsWordByte(b);
          break;
        case Op::SpaceChar:
          in = IsSpaceByte(b);
          break;
        case Op::NonSpaceChar:
          in = !IsSpaceByte(b);
          break;
        case Op::DigitChar:
          in = IsDigitByte(b);
          break;
        case Op::NonDigitChar:
          in = !IsDigitByte(b);
          break;
        default:
          in = true;
          break;
      }
      if (in) set_[v] = true;
    }
  }

  const Program& p_;
  std::array<bool, 256> set_{};
  int budget_;
  bool unknown_ = false;
};

// Finds the longest Exact run on the program's main line (every match passes it) and its
// distance from the match start when that is fixed.
void FindMustHave(const Program& p, SearchHints& hints) {
  int index = 0;
  long offset = 0;
  bool fixed = true;
  int best = -1;
  long bestOffset = -1;
  for (int guard = 0; index >= 0 && guard < 100000; ++guard) {
    const Node& n = p.nodes[index];
    bool stop = false;
    switch (n.op) {
      case Op::Branch:
        if (IsSingleAlternative(p, index)) {
          ++index;
          continue;
        }
        while (p.Next(index) >= 0 && p.nodes[p.Next(index)].op == Op::Branch) {
          index = p.Next(index);
        }
        fixed = false;
        break;
      case Op::Exact:
        if (best < 0 || n.len > p.nodes[best].len) {
          best = index;
          bestOffset = fixed ? offset : -1;
        }
        offset += n.len;
        break;
      case Op::Repeat: {
        // "{n}" of an item of one byte keeps the distance fixed.
        const Op item = p.nodes[index + 1].op;
        const bool oneByte = item == Op::WordChar || item == Op::SpaceChar ||
                             item == Op::DigitChar || item == Op::Exact || !p.kanji;
        if (n.min == n.max && oneByte) {
          offset += n.min;
        } else {
          fixed = false;
        }
        break;
      }
      case Op::Star:
      case Op::Plus:
      case Op::RepeatComplex:
      case Op::BackRef:
        fixed = false;
        break;
      case Op::Lazy:
        fixed = false;
        index = p.Next(index);  // the repeat node
        break;
      case Op::End:
      case Op::WhileRepeat:
      case Op::Succeed:
        stop = true;
        break;
      default:
        if (IsCharItem(n.op)) {
          // One byte, or one or two where kanji is on.
          if (p.kanji && MayTakeDoubleByte(n.op)) fixed = false;
          offset += 1;
        }
        break;  // groups, zero-width tests, look-ahead, Nothing
    }
    if (stop || index < 0) break;
    index = p.Next(index);
  }
  if (best < 0) return;
  const Node& n = p.nodes[best];
  if (n.len >= 256) return;
  PrepareLiteralScan(p.Literal(n), p.LiteralMask(n), n.len, n.fold, hints.must);
  hints.mustNode = best;
  hints.mustOffset = bestOffset;
  hints.usefulness = 100;
  hints.mustActive = true;
}

// A program that is a choice among literal runs, each followed right away by the end.
void FindLiteralChoices(const Program& p, SearchHints& hints) {
  const int entry = p.entry;
  if (p.nodes[entry].op != Op::Branch || IsSingleAlternative(p, entry)) return;
  std::vector<SearchHints::LiteralChoice> choices;
  for (int br = entry; br >= 0 && p.nodes[br].op == Op::Branch; br = p.Next(br)) {
    const Node& n = p.nodes[br + 1];
    const int end = p.Next(br + 1);
    if (n.op != Op::Exact || end < 0 || p.nodes[end].op != Op::End || p.groupCount > 0) return;
    SearchHints::LiteralChoice choice;
    PrepareLiteralScan(p.Literal(n), p.LiteralMask(n), n.len, n.fold, choice.scan);
    choice.firstByte = p.Literal(n)[0];
    choices.push_back(std::move(choice));
  }
  if (!hints.hasFirstBytes) return;  // candidates come from the scan for first bytes
  hints.literalChoices = std::move(choices);
}

// What the rest of the program after each simple repeat can start with, and whether the
// repeat may keep everything it took.
void ComputeRepeatHints(const Program& p, SearchHints& hints) {
  hints.repeatHints.assign(p.nodes.size(), SearchHints::RepeatHint{});
  int budget = 200000;
  for (std::size_t i = 0; i < p.nodes.size() && budget > 0; ++i) {
    const Op op = p.nodes[i].op;
    if (op != Op::Star && op != Op::Plus && op != Op::Repeat) continue;
    const int rest = p.Next(static_cast<int>(i));
    if (rest < 0) continue;
    SearchHints::RepeatHint& hint = hints.repeatHints[i];
    // The first try takes the most items; taking fewer only moves the end back, where the
    // end of the program is no easier to meet.
    if (p.nodes[rest].op == Op::End) {
      hint.possessive = true;
      continue;
    }
    const Node& item = p.nodes[i + 1];
    constexpr int kRestBudget = 2000;
    FirstBytes follow(p, kRestBudget);
    budget -= kRestBudget;
    if (!follow.Walk(rest, 0) || follow.unknown()) continue;
    hint.follow = static_cast<std::int32_t>(hints.followSets.size());
    hints.followSets.push_back(follow.set());
    // Giving back leaves an item's byte where the rest must start: no use when the rest
    // cannot start with any of them.
    if (item.byteSet < 0) continue;
    const std::array<bool, 256>& taken = p.byteSets[static_cast<std::size_t>(item.byteSet)];
    bool apart = true;
    for (int b = 0; b < 256 && apart; ++b) apart = !(taken[b] && follow.set()[b]);
    hint.possessive = apart;
  }
}

// A program without groups, choices or look-ahead runs as a list of steps that only go
// forward when its repeats never need to give back (possessive or of a fixed count), except
// that the last repeat may give back when only word-boundary tests follow it: it then gives
// back one item at a time until they hold, as the matcher would.
void ComputeLinearSteps(const Program& p, SearchHints& hints) {
  if (p.groupCount > 0) return;
  std::vector<SearchHints::LinearStep> steps;
  using Kind = SearchHints::LinearStep::Kind;
  bool giving = false;  // a step that may give back was added; only tests may follow it
  int at = p.entry;
  for (int guard = 0; guard < 10000; ++guard) {
    if (at < 0) return;
    const Node& n = p.nodes[at];
    if (n.op == Op::End) {
      hints.linear = std::move(steps);
      return;
    }
    const bool test = n.op == Op::WordBoundary || n.op == Op::NonWordBoundary;
    if (giving && !test) return;
    if (n.op == Op::Exact && n.len > 1) {
      steps.push_back({Kind::Literal, at, 1, 1, false, false});
    } else if (n.byteSet >= 0) {
      steps.push_back({Kind::Bytes, at, 1, 1, false, KindOf(n.op) == Op::AnyChar});
    } else if (test) {
      steps.push_back({n.op == Op::WordBoundary ? Kind::WordBoundary : Kind::NonWordBoundary, at, 0,
                       0, false, false});
    } else if (n.op == Op::Star || n.op == Op::Plus || n.op == Op::Repeat) {
      const Node& item = p.nodes[at + 1];
      const bool lazy = at > 0 && p.nodes[at - 1].op == Op::Lazy;
      if (lazy || item.byteSet < 0) return;
      const bool keeps = n.min == n.max || hints.repeatHints[at].possessive;
      const std::int32_t max = n.max >= kUnbounded ? INT32_MAX : n.max;
      giving = !keeps;
      steps.push_back({Kind::Bytes, at + 1, n.min, max, !keeps, KindOf(item.op) == Op::AnyChar});
    } else {
      return;
    }
    at = p.Next(at);
  }
}

}  // namespace

void ComputeHints(const Program& p, SearchHints& hints) {
  hints = SearchHints{};
  if (p.nodes.empty()) return;

  // The first node after groups and single-alternative branches.
  int first = 0;
  bool sawOpen = false;
  for (int guard = 0; first >= 0 && guard < 1000; ++guard) {
    const Op op = p.nodes[first].op;
    if (op == Op::Branch && IsSingleAlternative(p, first)) {
      ++first;
    } else if (op == Op::Open) {
      sawOpen = true;
      first = p.Next(first);
    } else {
      break;
    }
  }
  if (first >= 0) {
    const Node& n = p.nodes[first];
    if (KindOf(n.op) == Op::LineStart) {
      hints.anchor = n.op == Op::MultiLineStart ? SearchHints::Anchor::LineStarts
                                                : SearchHints::Anchor::SearchStart;
    } else if (n.op == Op::Star && !sawOpen && p.nodes[first + 1].op == Op::AnyChar) {
      hints.anchor = SearchHints::Anchor::LineStarts;
    } else if (n.op == Op::Star && !sawOpen && p.nodes[first + 1].op == Op::AnyCharAll) {
      hints.anchor = SearchHints::Anchor::SearchStart;
    } else if (n.op == Op::Exact) {
      hints.startLiteralNode = first;
      PrepareLiteralScan(p.Literal(n), p.LiteralMask(n), n.len, n.fold, hints.startLiteral);
    } else if (IsClassLike(n.op)) {
      hints.startClassNode = first;
    } else if (n.op == Op::Plus && IsClassLike(p.nodes[first + 1].op) && !p.hasBackRef &&
               !p.hasSearchStart) {
      hints.startClassNode = first + 1;
      hints.startClassRow = true;
    }
  }

  FirstBytes firstBytes(p);
  if (firstBytes.Walk(0, 0) && !firstBytes.unknown()) {
    hints.hasFirstBytes = true;
    PrepareByteSetScan(firstBytes.set(), hints.firstBytes);
    if (hints.startClassNode >= 0 && p.nodes[hints.startClassNode].op == Op::WordBoundary) {
      hints.startWordBoundary = true;
      for (int b = 0; b < 256; ++b) {
        if (firstBytes.set()[b] && !IsWordByte(static_cast<std::uint8_t>(b))) {
          hints.startWordBoundary = false;
        }
      }
    }
  }
  FindMustHave(p, hints);
  if (hints.startLiteralNode >= 0 && hints.startLiteralNode == p.entry) {
    hints.afterStartLiteral = p.Next(p.entry);
    hints.literalOnly = hints.afterStartLiteral >= 0 && p.groupCount == 0 &&
                        p.nodes[hints.afterStartLiteral].op == Op::End;
  }
  hints.mustIsStart =
      hints.mustNode >= 0 && hints.mustNode == hints.startLiteralNode && hints.mustOffset == 0;
  FindLiteralChoices(p, hints);

  hints.branchSet.assign(p.nodes.size(), -1);
  int totalBudget = 200000;
  for (std::size_t i = 0; i < p.nodes.size() && totalBudget > 0; ++i) {
    if (p.nodes[i].op != Op::Branch) continue;
    constexpr int kBranchBudget = 2000;
    FirstBytes alternative(p, kBranchBudget);
    totalBudget -= kBranchBudget;
    if (alternative.Walk(static_cast<int>(i) + 1, 0) && !alternative.unknown()) {
      hints.branchSet[i] = static_cast<int>(hints.branchSets.size());
      hints.branchSets.push_back(alternative.set());
    }
  }
  ComputeRepeatHints(p, hints);
  ComputeLinearSteps(p, hints);
  if (first >= 0 && hints.mustActive && !sawOpen && !p.hasBackRef && !p.hasSearchStart &&
      (p.nodes[first].op == Op::Plus || p.nodes[first].op == Op::Star) &&
      p.Next(first) == hints.mustNode) {
    const Node& item = p.nodes[first + 1];
    bool singleByte = false;
    const auto must0 = static_cast<std::uint8_t>(hints.must.bytes[0]);
    bool holdsMust = true;
    switch (item.op) {
      case Op::WordChar:
        singleByte = true;
        holdsMust = IsWordByte(must0);
        break;
      case Op::DigitChar:
        singleByte = true;
        holdsMust = IsDigitByte(must0);
        break;
      case Op::SpaceChar:
        singleByte = true;
        holdsMust = IsSpaceByte(must0);
        break;
      case Op::CharClass: {
        const CharClass& c = p.classes[item.arg];
        singleByte = !c.negated && !c.hasWide;
        for (int b = 0x80; b < 256 && p.kanji; ++b) {
          if (c.bytes[b]) singleByte = false;
        }
        holdsMust = c.Contains(must0) || c.Contains(FoldByte(must0)) ||
                    (must0 >= 'a' && must0 <= 'z' && c.Contains(must0 - 32u));
        break;
      }
      default:
        break;
    }
    if (singleByte && !holdsMust) hints.mustRowNode = first;
  }
}

}  // namespace yk::regex_detail
