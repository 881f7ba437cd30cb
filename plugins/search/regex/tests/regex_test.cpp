#include "plugins/search/regex/regex.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "plugins/search/regex/regex_internal.h"
#include "plugins/search/regex/tests/reference_matcher.h"

namespace yk {
namespace {

// Shift-JIS characters used below.
const std::string kHyo = "\x95\x5C";            // a kanji whose trail byte is a backslash
const std::string kNichi = "\x93\xFA";          // "day"
const std::string kHon = "\x96\x7B";            // "book"
const std::string kA = "\x83\x41";              // katakana "a": its trail byte is "A"
const std::string kSama = "\x97\x6C";           // an honorific: its trail byte is "l"
const std::string kTen = "\x93\x5F";            // "point": its trail byte is "_"
const std::string kLeadNine = "\x81\x39";       // no character, but two bytes under k: "9" trails
const std::string kA2 = "\x88\x9F";             // a kanji whose trail byte is in the lead range
const std::string kYotei = "\x97\x5C\x92\xE8";  // "schedule"

struct Outcome {
  int result = 0;
  std::string message;
  std::string whole;                // group 0 text
  std::vector<std::string> groups;  // groups 1..n, "<null>" when a group did not take part
  long start = -1;
};

Outcome RunMatch(const std::string& command, const std::string& target, bool hints) {
  RegexHandle* h = nullptr;
  char message[32] = "x";
  Outcome o;
  if (!hints) {
    // Compile first, then switch the hints off and search with the same command.
    (void)RegexMatch(command.c_str(), target.data(), target.data() + target.size(), &h, message);
    regex_detail::SetHintsEnabled(h, false);
  }
  o.result = RegexMatch(command.c_str(), target.data(), target.data() + target.size(), &h, message);
  o.message = message;
  if (o.result == 1 && h) {
    o.start = h->groupStart[0] - target.data();
    o.whole.assign(h->groupStart[0], h->groupEnd[0]);
    for (int g = 1; g <= h->groupCount; ++g) {
      o.groups.push_back(h->groupStart[g] ? std::string(h->groupStart[g], h->groupEnd[g])
                                          : "<null>");
    }
  }
  RegexFree(h);
  return o;
}

// Runs with the hints on and off and insists that both agree.
Outcome Match(const std::string& command, const std::string& target) {
  const Outcome on = RunMatch(command, target, true);
  const Outcome off = RunMatch(command, target, false);
  EXPECT_EQ(on.result, off.result) << command << " on " << target;
  EXPECT_EQ(on.start, off.start) << command << " on " << target;
  EXPECT_EQ(on.whole, off.whole) << command << " on " << target;
  EXPECT_EQ(on.groups, off.groups) << command << " on " << target;
  return on;
}

struct SubstOutcome {
  int result = 0;
  std::string message;
  std::string text;
  bool nullResult = true;
};

SubstOutcome RunSubst(const std::string& command, const std::string& target, bool hints) {
  RegexHandle* h = nullptr;
  char message[32] = "x";
  SubstOutcome o;
  if (!hints) {
    (void)RegexSubst(command.c_str(), target.data(), target.data() + target.size(), &h, message);
    regex_detail::SetHintsEnabled(h, false);
  }
  o.result = RegexSubst(command.c_str(), target.data(), target.data() + target.size(), &h, message);
  o.message = message;
  if (h && h->resultStart) {
    o.nullResult = false;
    o.text.assign(h->resultStart, h->resultEnd);
    EXPECT_EQ(*h->resultEnd, '\0');
  }
  RegexFree(h);
  return o;
}

SubstOutcome Subst(const std::string& command, const std::string& target) {
  const SubstOutcome on = RunSubst(command, target, true);
  const SubstOutcome off = RunSubst(command, target, false);
  EXPECT_EQ(on.result, off.result) << command;
  EXPECT_EQ(on.text, off.text) << command;
  return on;
}

struct SubstRow {
  const char* name;
  std::string command;
  std::string target;
  int result;
  std::string text;
};

void CheckSubsts(const std::vector<SubstRow>& rows) {
  for (const SubstRow& r : rows) {
    const SubstOutcome o = Subst(r.command, r.target);
    EXPECT_EQ(o.result, r.result) << r.name << ": " << o.message;
    if (r.result > 0 && r.command[0] == 's') {
      EXPECT_EQ(o.text, r.text) << r.name;
      EXPECT_EQ(o.nullResult, r.text.empty()) << r.name;
    }
  }
}

TEST(RegexFailures, EveryParameterAndCommandFailure) {
  const std::string t = "target";
  const char* b = t.data();
  const char* e = t.data() + t.size();
  RegexHandle* h = nullptr;
  char message[32];

  EXPECT_EQ(RegexMatch("m/a/", b, e, &h, nullptr), -1);
  EXPECT_EQ(RegexSubst("s/a/b/", b, e, &h, nullptr), -1);

  struct Row {
    const char* name;
    const char* command;
    const char* start;
    const char* end;
    bool nullHandle;
    int matchResult;
    int substResult;
    const char* message;
  } rows[] = {
      {"handle missing", "m/a/", b, e, true, -1, -1, "invalid handle parameter"},
      {"target null", "m/a/", nullptr, e, false, -1, -1, "invalid target parameter"},
      {"target end null", "m/a/", b, nullptr, false, -1, -1, "invalid target parameter"},
      {"target empty", "m/a/", b, b, false, -1, -1, "invalid target parameter"},
      {"target reversed", "m/a/", e, b, false, -1, -1, "invalid target parameter"},
      {"no command, nothing compiled", nullptr, b, e, false, -1, -1, "invalid reg parameter"},
      {"empty command, nothing compiled", "", b, e, false, -1, -1, "invalid reg parameter"},
      {"another kind", "x/a/", b, e, false, -1, -1, "do not start 'm' or 's' or 'tr'"},
      {"t without r", "t/a/b/", b, e, false, -1, -1, "do not start 'm' or 's' or 'tr'"},
      {"delimiter then end", "m/", b, e, false, -1, -1, "unmatch separater"},
      {"no closing delimiter", "m/abc", b, e, false, -1, -1, "unmatch separater"},
      {"s without second", "s/abc/def", b, e, false, -1, -1, "unmatch separater"},
      {"tr without second", "tr/abc/def", b, e, false, -1, -1, "unmatch separater"},
      {"escaped delimiter", "m/abc\\/", b, e, false, -1, -1, "unmatch separater"},
      {"pattern error", "m/a**/", b, e, false, -1, -1, ""},
      {"nothing to repeat", "m/*a/", b, e, false, -1, -1, ""},
  };
  for (const Row& r : rows) {
    h = nullptr;
    std::memset(message, 'x', sizeof message);
    EXPECT_EQ(RegexMatch(r.command, r.start, r.end, r.nullHandle ? nullptr : &h, message),
              r.matchResult)
        << r.name;
    EXPECT_STREQ(message, r.message) << r.name;
    EXPECT_EQ(h, nullptr) << r.name;
    std::memset(message, 'x', sizeof message);
    EXPECT_EQ(RegexSubst(r.command, r.start, r.end, r.nullHandle ? nullptr : &h, message),
              r.substResult)
        << r.name;
    EXPECT_STREQ(message, r.message) << r.name;
    EXPECT_EQ(h, nullptr) << r.name;
  }
}

TEST(RegexFailures, SubstCommandGivenToMatchReleasesTheHandle) {
  const std::string t = "abc";
  RegexHandle* h = nullptr;
  char message[32];
  ASSERT_EQ(RegexMatch("m/b/", t.data(), t.data() + 3, &h, message), 1);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(RegexMatch("s/b/c/", t.data(), t.data() + 3, &h, message), -1);
  EXPECT_STREQ(message, "call RegexSubst");
  EXPECT_EQ(h, nullptr);
}

TEST(RegexFailures, FailedCompileLeavesNoHandleAndMessageIsClearedEachCall) {
  const std::string t = "abc";
  RegexHandle* h = nullptr;
  char message[32];
  ASSERT_EQ(RegexMatch("m/zz/", t.data(), t.data() + 3, &h, message), -1 + 1);  // no match
  EXPECT_STREQ(message, "");
  EXPECT_EQ(RegexMatch("m/([/", t.data(), t.data() + 3, &h, message), -1);
  EXPECT_EQ(h, nullptr);  // the old command was released, the new one did not compile
  std::strcpy(message, "stale");
  EXPECT_EQ(RegexMatch("m/b/", t.data(), t.data() + 3, &h, message), 1);
  EXPECT_STREQ(message, "");
  RegexFree(h);
  RegexFree(nullptr);
}

TEST(RegexSubstTest, EmptyMatchLoopAlwaysAdvances) {
  // After an empty match the next one must end further on, so the loop ends by itself.
  const SubstOutcome o = Subst("s/x*/-/g", "abc");
  EXPECT_EQ(o.result, 4);
  EXPECT_EQ(o.text, "-a-b-c-");
}

struct MatchRow {
  const char* name;
  std::string command;
  std::string target;
  int result;
  std::string whole;
  std::vector<std::string> groups;
};

void CheckMatches(const std::vector<MatchRow>& rows) {
  for (const MatchRow& r : rows) {
    const Outcome o = Match(r.command, r.target);
    EXPECT_EQ(o.result, r.result) << r.name << ": " << o.message;
    if (r.result == 1) {
      EXPECT_EQ(o.whole, r.whole) << r.name;
      if (!r.groups.empty()) {
        EXPECT_EQ(o.groups, r.groups) << r.name;
      }
    }
  }
}

TEST(RegexMatchTest, Syntax) {
  CheckMatches({
      {"empty pattern never matches", "m//", "abc", 0, "", {}},
      {"slash shorthand", "/b+/", "abbbc", 1, "bbb", {}},
      {"other delimiter", "m#a/b#", "xa/b", 1, "a/b", {}},
      {"alternation order", "m/ab|a/", "ab", 1, "ab", {}},
      {"alternation first wins", "m/a|ab/", "ab", 1, "a", {}},
      {"leftmost", "m/b|a/", "xab", 1, "a", {}},
      {"class range", "m/[b-d]+/", "abcde", 1, "bcd", {}},
      {"negated class", "m/[^a-c]+/", "abcxyz", 1, "xyz", {}},
      {"bracket first literal", "m/[]a]+/", "x]a]", 1, "]a]", {}},
      {"dash first and last", "m/[-x]+ [y-]+/", "--x y-", 1, "--x y-", {}},
      {"class escapes", "m/[\\d\\s]+/", "ab1 2c", 1, "1 2", {}},
      {"class backspace and octal", "m/[\\b\\101]+/", "x\bAA", 1, "\bAA", {}},
      {"dot stops at line break", "m/a.c/", "a\nc abc", 1, "abc", {}},
      {"inline single line", "m/(?s)a.c/", "a\nc", 1, "a\nc", {}},
      {"star", "m/ab*c/", "ac", 1, "ac", {}},
      {"plus needs one", "m/ab+c/", "ac abc", 1, "abc", {}},
      {"question", "m/colou?r/", "color", 1, "color", {}},
      {"exact count", "m/a{3}/", "aaaa", 1, "aaa", {}},
      {"at least three", "m/a{3,}/", "aa aaaaa", 1, "aaaaa", {}},
      {"at least three, too few", "m/a{3,}/", "aa", 0, "", {}},
      {"bounded", "m/a{2,3}/", "aaaa", 1, "aaa", {}},
      {"literal brace", "m/a{x/", "a{x", 1, "a{x", {}},
      {"literal brace, no number", "m/a{,3}/", "a{,3}", 1, "a{,3}", {}},
      {"run quantifier applies to last byte", "m/abc*/", "abccc", 1, "abccc", {}},
      {"group quantifier", "m/(ab)+/", "ababab", 1, "ababab", {"ab"}},
      {"hex escape", "m/\\x41\\x4a/", "AJ", 1, "AJ", {}},
      {"octal escape takes two more digits", "m/\\0101/", "\b1", 1, "\b1", {}},
      {"control escape", "m/\\cj/", "\n", 1, "\n", {}},
      {"escaped special", "m/a\\.b\\*/", "a.b*", 1, "a.b*", {}},
      {"non-capturing", "m/(?:a|b)+(c)/", "abac", 1, "abac", {"c"}},
      {"comment", "m/a(?#note)b/", "ab", 1, "ab", {}},
      {"extended", "m/(?x) a b # rest\n c/", "abc", 1, "abc", {}},
      {"word class never in Japanese", "m/\\w+/", kNichi + kHon + "x", 1, "x", {}},
      {"non-digit", "m/\\D\\d/", "a1", 1, "a1", {}},
      {"word boundary", "m/\\bcat\\b/", "concat cat", 1, "cat", {}},
      {"non word boundary", "m/\\Bcat/", "cat concat", 1, "cat", {}},
      {"string start", "m/\\Aab/", "abab", 1, "ab", {}},
      {"string end", "m/b\\Z/", "ab\n", 1, "b", {}},
      {"search start", "m/\\Ga/", "ab", 1, "a", {}},
      {"search start elsewhere", "m/\\Gb/", "ab", 0, "", {}},
      {"backref number below ten", "m/(a)\\1/", "aa", 1, "aa", {"a"}},
      {"octal when no such group", "m/\\101/", "A", 1, "A", {}},
      {"open group closes at end", "m/(ab/", "xab", 1, "ab", {"ab"}},
      {"unmatched close is an error", "m/ab)/", "ab", -1, "", {}},
      {"(?$ is an error", "m/(?$a)/", "a", -1, "", {}},
      {"reversed range is an error", "m/[z-a]/", "a", -1, "", {}},
      {"unclosed class is an error", "m/[ab/", "a", -1, "", {}},
      {"quantifier at branch start", "m/a|*b/", "a", -1, "", {}},
      {"quantifier at group start", "m/(+a)/", "a", -1, "", {}},
      {"lazy then another quantifier", "m/a*?+/", "a", -1, "", {}},
      {"brace after quantifier", "m/a+{2}/", "a", -1, "", {}},
  });
}

TEST(RegexMatchTest, Anchors) {
  CheckMatches({
      {"caret at start", "m/^a/", "ab", 1, "a", {}},
      {"caret not after line break without m", "m/^b/", "a\nb", 0, "", {}},
      {"caret after line break with m", "m/^b/m", "a\nb", 1, "b", {}},
      {"dollar at end", "m/a$/", "ba", 1, "a", {}},
      {"dollar before final line break", "m/a$/", "ba\n", 1, "a", {}},
      {"dollar not before inner line break", "m/a$/", "a\nb", 0, "", {}},
      {"dollar before inner line break with m", "m/a$/m", "a\nb", 1, "a", {}},
      {"dollar with m at end", "m/b$/m", "a\nb", 1, "b", {}},
      {"leading dot star", "m/.*c/", "ab\nxc", 1, "xc", {}},
      {"leading dot star in group", "m/(.*)x\\1/", "zaxa", 1, "axa", {"a"}},
      {"caret inside alternation", "m/x|^a/", "ba", 0, "", {}},
  });
}

TEST(RegexMatchTest, GroupsAndBacktracking) {
  CheckMatches({
      {"group reset on backtracking", "m/(a)?ab/", "ab", 1, "ab", {"<null>"}},
      {"alternation resets inner group", "m/(?:(x)y|xz)/", "xz", 1, "xz", {"<null>"}},
      {"last round wins", "m/(?:(a)|(b))+/", "ab", 1, "ab", {"a", "b"}},
      {"nested groups", "m/((a)(b))c/", "abc", 1, "abc", {"ab", "a", "b"}},
      {"backref to group that did not take part", "m/(a)?b\\1/", "b", 0, "", {}},
      {"backref to empty group", "m/(a*)b\\1c/", "bc", 1, "bc", {""}},
      {"backref repeats text", "m/(\\w+) \\1/", "say hello hello", 1, "hello hello", {"hello"}},
      {"backref to later group fails", "m/\\2(a)(b)/", "ab", 0, "", {}},
      {"group number above count", "m/(a)\\3/", "aa", 0, "", {}},
      {"greedy", "m/<.+>/", "<a><b>", 1, "<a><b>", {}},
      {"lazy", "m/<.+?>/", "<a><b>", 1, "<a>", {}},
      {"lazy group", "m/(ab)+?/", "ababab", 1, "ab", {"ab"}},
      {"greedy group gives back", "m/(ab)+ab/", "ababab", 1, "ababab", {"ab"}},
      {"lazy bounded", "m/a{2,4}?/", "aaaa", 1, "aa", {}},
      {"lazy star then literal", "m/a.*?b/", "axxbxxb", 1, "axxb", {}},
      {"empty round ends repetition", "m/(a*)*b/", "aab", 1, "aab", {""}},
      {"empty rounds count toward min", "m/^(a?){3}b/", "b", 1, "b", {""}},
      {"complex minimum", "m/(ab){2,}/", "ab abab", 1, "abab", {"ab"}},
      {"complex maximum", "m/(ab){1,2}/", "ababab", 1, "abab", {"ab"}},
      {"look-ahead", "m/\\w+(?=;)/", "ab cd;", 1, "cd", {}},
      {"negative look-ahead", "m/a(?!b)/", "abac", 1, "a", {}},
      {"look-ahead keeps group", "m/(?=(a+))a/", "aaa", 1, "a", {"aaa"}},
      {"negative look-ahead drops group", "m/(?!(b))a/", "a", 1, "a", {"<null>"}},
      {"look-ahead backtracks into pattern", "m/(?=.*c)a+/", "xaac", 1, "aa", {}},
      {"word boundary start class", "m/\\b[A-Za-z]+\\b/", "12 ab3 cd", 1, "cd", {}},
      {"class row", "m/[a-z]+x/", "abc abx", 1, "abx", {}},
      {"row ending at the must substring", "m/[a-z]+@x/", "ab@y cd@x", 1, "cd@x", {}},
      {"row may be empty", "m/\\d*@/", "a@", 1, "@", {}},
      {"row stops at the search start", "m/\\w+:/", "abc:", 1, "abc:", {}},
      {"must substring at fixed offset", "m/\\d{4}\\/\\d\\d/", "12/34 2024/05", 1, "2024/05", {}},
  });
}

// Below its minimum a repeat takes another round even when the last one matched empty; only
// from the minimum on does an empty round end the repetition.
TEST(RegexMatchTest, CountedRepeatsReachTheirMinimumThroughEmptyRounds) {
  CheckMatches({
      {"min 2: a boundary round, then a character", "m/x(?:\\W|\\b){2}/", "x-", 1, "x-", {}},
      {"min 2: an empty round at the start", "m/(?:^a*){2,3}/", "a", 1, "a", {}},
      {"min 2 lazy: the second round grows", "m/^(\\w*?){2}$/", "ab", 1, "ab", {"ab"}},
      {"min 2 lazy star body", "m/^(a*?){2}$/", "aa", 1, "aa", {"aa"}},
      {"min 2: search start twice, then a word byte",
       "m/(?:(?:\\G|[^\\W])){2,3}a/",
       "xa",
       1,
       "xa",
       {}},
      {"min 2: empty alternative first", "m/^(|a){2}b/", "ab", 1, "ab", {"a"}},
      {"min 2 lazy: empty alternative first", "m/^(|a){2}?b/", "ab", 1, "ab", {"a"}},
      {"min 2 lazy with room: empty alternative first", "m/^(|a){2,3}?b/", "ab", 1, "ab", {"a"}},
      {"min 3: two empty rounds, then a character", "m/^(?:\\b|x){3}y/", "xy", 1, "xy", {}},
      {"min 3: empty alternative first", "m/^(|a){3}b/", "ab", 1, "ab", {"a"}},
      {"min 2: the last round empty", "m/^(a?){2}b/", "ab", 1, "ab", {""}},
      {"min 2: every round empty", "m/^(a?){2}b/", "b", 1, "b", {""}},
      {"min 2: the longest body first", "m/^(a*){2}$/", "aa", 1, "aa", {""}},
      {"min 2: empty alternative last", "m/^(a|){2}b/", "ab", 1, "ab", {""}},
      {"min 2: a round that is not empty", "m/(?:-|\\b){2}x/", "a-x", 1, "-x", {}},
      {"min 1: an empty round ends it", "m/^(a*)+$/", "aa", 1, "aa", {""}},
      {"min 1 lazy", "m/^(a*?){1,}?$/", "aa", 1, "aa", {"a"}},
      {"min 1: empty alternative first", "m/^(|a){1}b/", "ab", 1, "ab", {"a"}},
      {"min 0: the last round empty", "m/^(a?){0,3}b/", "aab", 1, "aab", {""}},
      {"min 0 lazy", "m/^(a?){0,3}?b/", "aab", 1, "aab", {"a"}},
      {"min 0 lazy body", "m/^(?:a?\?){0,2}$/", "a", 1, "a", {}},
      {"min 2 lazy body", "m/^(?:a?\?){2}$/", "a", 1, "a", {}},
      {"min 2: no way to the end", "m/^(?:\\b|a){2}c/", "ab", 0, "", {}},
  });
  // A round that is empty still counts while the substitution loop demands progress.
  const SubstOutcome o = Subst("s/(?:^|a){2}//g", "a");
  EXPECT_EQ(o.result, 2);
  EXPECT_EQ(o.text, "");
  EXPECT_TRUE(o.nullResult);
}

TEST(RegexMatchTest, IgnoreCase) {
  CheckMatches({
      {"letters either case", "m/hello/i", "say HeLLo", 1, "HeLLo", {}},
      {"upper in pattern", "m/HELLO/i", "hello", 1, "hello", {}},
      {"class adds lower case", "m/[A-C]+/i", "xbAc", 1, "bAc", {}},
      {"backref folds", "m/(a)\\1/i", "aA", 1, "aA", {"a"}},
      {"inline from there on", "m/A(?i)b/", "aB AB", 1, "AB", {}},
      {"before inline keeps case", "m/A(?i)b/", "aB", 0, "", {}},
      {"non-letters unchanged", "m/[@-]+/i", "`@-", 1, "@-", {}},
      {"must-have substring in either case", "m/\\d+ABCdef/i", "1abc 22aBcDeF", 1, "22aBcDeF", {}},
      {"must-have substring absent", "m/\\d+ABCdef/i", "1abc 22aBcDe", 0, "", {}},
      {"must-have hit on a trail byte skipped", "m/\\W?Ax/ik", kA + "x ax", 1, " ax", {}},
      {"trail byte not folded under k", "m/" + kA + "/ik", "\x83\x61", 0, "", {}},
      {"trail byte folded without k", "m/" + kA + "/i", "\x83\x61", 1, "\x83\x61", {}},
      {"backref trail byte exact under k", "m/(" + kA + ")\\1/ik", kA + "\x83\x61", 0, "", {}},
      {"backref letters fold under k",
       "m/(a" + kA + ")\\1/ik",
       "a" + kA + "A" + kA,
       1,
       "a" + kA + "A" + kA,
       {"a" + kA}},
  });
  // The rewritten text keeps the caller's bytes.
  EXPECT_EQ(Subst("s/WORLD/there/i", "Hello World!").text, "Hello there!");
}

TEST(RegexMatchTest, DoubleByteCharacters) {
  CheckMatches({
      {"dot takes the whole character under k", "m/^./k", kNichi + "x", 1, kNichi, {}},
      {"dot takes one byte without k", "m/^./", kNichi + "x", 1, "\x93", {}},
      {"backslash trail not matched under k", "m/\\\\/k", kHyo, 0, "", {}},
      {"backslash trail matched without k", "m/\\\\/", kHyo, 1, "\\", {}},
      {"letter trail not matched under k", "m/A/k", kA, 0, "", {}},
      {"letter trail matched without k", "m/A/", kA, 1, "A", {}},
      {"real backslash after character under k", "m/\\\\/k", kHyo + "\\", 1, "\\", {}},
      {"quantifier repeats both bytes",
       "m/" + kNichi + "+/k",
       kNichi + kNichi + kHon,
       1,
       kNichi + kNichi,
       {}},
      {"quantifier on last byte without k", "m/\x93\xFA+/", "\x93\xFA\xFA", 1, "\x93\xFA\xFA", {}},
      {"class member under k",
       "m/[" + kNichi + kHon + "]+/k",
       "x" + kHon + kNichi + "y",
       1,
       kHon + kNichi,
       {}},
      {"class range under k", "m/[\x93\x40-\x93\xFC]/k", kHon + kNichi, 1, kNichi, {}},
      {"negated class takes whole char", "m/[^x]/k", kNichi, 1, kNichi, {}},
      {"non-word includes double-byte", "m/[\\W]+/k", "a" + kNichi + "b", 1, kNichi, {}},
      {"star gives back whole characters",
       "m/.*" + kHon + "/k",
       kNichi + kHon + kNichi,
       1,
       kNichi + kHon,
       {}},
      {"greedy give back over trails", "m/^.*\\\\/k", kHyo + "\\" + kHyo, 1, kHyo + "\\", {}},
      {"japanese literal", "m/" + kYotei + "/k", "abc" + kYotei, 1, kYotei, {}},
      {"literal not across characters under k", "m/\xFA\x96/k", kNichi + kHon, 0, "", {}},
      {"literal across characters without k", "m/\xFA\x96/", kNichi + kHon, 1, "\xFA\x96", {}},
      {"row excludes a trail byte under k",
       "m/[a-z]+@/k",
       "\x83\x61"
       "b@",
       1,
       "b@",
       {}},
      {"row takes the byte without k",
       "m/[a-z]+@/",
       "\x83\x61"
       "b@",
       1,
       "ab@",
       {}},
      {"must-have skips trail hits", "m/\\\\x/k", kHyo + "x" + "\\x", 1, "\\x", {}},
  });
}

// Under k a double-byte character is one non-word character, whatever its trail byte is.
TEST(RegexMatchTest, WordBoundariesNextToDoubleByteCharacters) {
  CheckMatches({
      {"boundary after a letter trail", "m/\\bab/k", kSama + "ab", 1, "ab", {}},
      {"no boundary after a letter byte", "m/\\bab/", kSama + "ab", 0, "", {}},
      {"no non-boundary after a letter trail", "m/\\Bab/k", kSama + "ab", 0, "", {}},
      {"non-boundary after a letter byte", "m/\\Bab/", kSama + "ab", 1, "ab", {}},
      {"boundary after an underscore trail", "m/\\bab/k", kTen + "ab", 1, "ab", {}},
      {"no boundary after an underscore byte", "m/\\bab/", kTen + "ab", 0, "", {}},
      {"boundary after a digit trail", "m/\\b\\d/k", kLeadNine + "2", 1, "2", {}},
      {"the digit byte starts a word", "m/\\b\\d/", kLeadNine + "2", 1, "9", {}},
      {"a word after an upper-case trail", "m/\\b[A-Za-z]+\\b/k", kA + "bc", 1, "bc", {}},
      {"the trail letter joins the word", "m/\\b[A-Za-z]+\\b/", kA + "bc", 1, "Abc", {}},
      {"boundary after the character itself", "m/" + kSama + "\\b/k", kSama + "a", 1, kSama, {}},
      {"no boundary after its trail byte", "m/" + kSama + "\\b/", kSama + "a", 0, "", {}},
      {"non-boundary between two characters",
       "m/" + kSama + "\\B" + kTen + "/k",
       kSama + kTen,
       1,
       kSama + kTen,
       {}},
      {"boundary between their bytes", "m/" + kSama + "\\B" + kTen + "/", kSama + kTen, 0, "", {}},
      {"boundary before a character", "m/ab\\b/k", "ab" + kSama, 1, "ab", {}},
      {"odd run of lead bytes before the trail", "m/\\bab/k", kA2 + kSama + "ab", 1, "ab", {}},
      {"even run: the letter stands alone", "m/\\bab/k", "\x97\x97lab", 0, "", {}},
      {"even run: the word starts at the letter", "m/\\blab/k", "\x97\x97lab", 1, "lab", {}},
      {"a word after a character", "m/\\b\\w+\\b/k", kSama + "ab " + kTen, 1, "ab", {}},
  });
  CheckSubsts({
      {"every word after a character", "s/\\b[a-z]+/<$&>/gk", kSama + "ab " + kTen + "cd", 2,
       kSama + "<ab> " + kTen + "<cd>"},
      {"letter bytes join words without k", "s/\\b[a-z]+/<$&>/g", kSama + "ab " + kTen + "cd", 1,
       "\x97<lab> " + kTen + "cd"},
      {"the byte before a later start", "s/" + kSama + "|\\bx/-/gk", kSama + "x", 2, "--"},
      {"the byte before a later start without k", "s/" + kSama + "|\\bx/-/g", kSama + "x", 1, "-x"},
  });
}

// The ways a search skips the interpreter or positions, at their edges; every row also runs
// with the hints off.
TEST(RegexMatchTest, SearchShortcuts) {
  const std::string x40(40, 'x');
  CheckMatches({
      {"literal at the very end", "m/abc/", "xxabc", 1, "abc", {}},
      {"literal that is the whole target", "m/abc/", "abc", 1, "abc", {}},
      {"literal across a block edge",
       "m/needle/",
       x40.substr(0, 29) + "needle" + x40,
       1,
       "needle",
       {}},
      {"folded literal across a block edge", "m/NeEdLe/i", x40 + "nEEDLE", 1, "nEEDLE", {}},
      {"literal after a false probe", "m/Mg/", "Mx Mg", 1, "Mg", {}},
      {"choice: the first run that fits", "m/ab|abc/", "abc", 1, "ab", {}},
      {"choice: a longer run first", "m/abc|ab/", "xab", 1, "ab", {}},
      {"choice: folded runs", "m/xy|AB/i", "aB", 1, "aB", {}},
      {"choice: none fits", "m/ab|cd/", "ac", 0, "", {}},
      {"word start: a row with a word byte before it", "m/\\bb\\w*/", "ab b", 1, "b", {}},
      {"word start: the target start", "m/\\ba/", "a", 1, "a", {}},
      {"steps: a repeat gives back to a non-boundary", "m/\\b[a-z]+\\B/", "abc", 1, "ab", {}},
      {"steps: fixed counts", "m/\\d{2}-\\d{2}/", "1-22 12-345", 1, "12-34", {}},
      {"steps: too few", "m/\\d{3,}x/", "12x", 0, "", {}},
      {"possessive: a byte the repeat cannot take", "m/a+b/", "aaac aab", 1, "aab", {}},
      {"possessive: the end after it", "m/x[a-c]*/", "xabcab", 1, "xabcab", {}},
      {"lazy: on to where the rest starts", "m/a.*?c/", "abbbcc", 1, "abbbc", {}},
      {"lazy: the rest never starts", "m/a.*?c/", "abbb", 0, "", {}},
      {"greedy: back to where the rest starts", "m/a.*c/", "acbcb", 1, "acbc", {}},
      {"byte set: the last byte", "m/[0-9]/", x40 + "7", 1, "7", {}},
      {"byte set: ranges", "m/[0-9A-F_]+/", x40 + "x0A_Fg", 1, "0A_F", {}},
      {"byte set under k: a trail byte is no start", "m/[A-Z]/k", kA + "B", 1, "B", {}},
      {"literal under k: a trail byte is no start", "m/Ab/k", kA + "bAb", 1, "Ab", {}},
  });
}

TEST(RegexMatchTest, ResultTextIsGroupOne) {
  const std::string t = "key=value";
  RegexHandle* h = nullptr;
  char message[32];
  ASSERT_EQ(RegexMatch("m/=(\\w+)/", t.data(), t.data() + t.size(), &h, message), 1);
  ASSERT_NE(h->resultStart, nullptr);
  EXPECT_STREQ(h->resultStart, "value");
  EXPECT_EQ(h->resultEnd - h->resultStart, 5);
  EXPECT_EQ(h->groupStart[1], t.data() + 4);  // points into the caller's target
  ASSERT_EQ(RegexMatch("m/=(x*)/", t.data(), t.data() + t.size(), &h, message), 1);
  EXPECT_EQ(h->resultStart, nullptr);  // group 1 empty: no result text
  EXPECT_EQ(h->splitCount, 0);
  EXPECT_EQ(h->splitList, nullptr);
  RegexFree(h);
}

TEST(RegexHandleTest, CompiledOnceWhileTheCommandIsUnchanged) {
  const std::string t = "abc";
  RegexHandle* h = nullptr;
  char message[32];
  ASSERT_EQ(RegexMatch("m/b/", t.data(), t.data() + 3, &h, message), 1);
  RegexHandle* first = h;
  char* copy = h->commandStart;
  h->reserved = 42;
  ASSERT_EQ(RegexMatch("m/b/", t.data(), t.data() + 3, &h, message), 1);
  EXPECT_EQ(h, first);
  EXPECT_EQ(h->commandStart, copy);
  EXPECT_EQ(h->reserved, 42);
  EXPECT_EQ(std::string(h->commandStart, h->commandEnd), "m/b/");
  ASSERT_EQ(RegexMatch(nullptr, t.data(), t.data() + 3, &h, message), 1);  // reuse
  EXPECT_EQ(h, first);
  ASSERT_EQ(RegexMatch("m/c/", t.data(), t.data() + 3, &h, message), 1);
  EXPECT_EQ(h->reserved, 0);  // a different command: a new compiled command
  EXPECT_EQ(std::string(h->commandStart, h->commandEnd), "m/c/");
  RegexFree(h);
}

TEST(RegexHandleTest, MustSubstringCheckDropsItselfWhenUseless) {
  // The substring is always present but the pattern fails: the check turns itself off
  // without changing any result.
  const std::string t = "xx needle";
  RegexHandle* h = nullptr;
  char message[32];
  for (int i = 0; i < 150; ++i) {
    ASSERT_EQ(RegexMatch("m/\\w+ needle\\d/", t.data(), t.data() + t.size(), &h, message), 0);
  }
  auto* cc = static_cast<regex_detail::CompiledCommand*>(h);
  EXPECT_FALSE(cc->hints.mustActive);
  const std::string hit = "a needle7";
  EXPECT_EQ(RegexMatch("m/\\w+ needle\\d/", hit.data(), hit.data() + hit.size(), &h, message), 1);
  RegexFree(h);
}

TEST(RegexSubstTest, Substitutions) {
  const std::vector<SubstRow> rows = {
      {"first only", "s/a/X/", "banana", 1, "bXnana"},
      {"global", "s/a/X/g", "banana", 3, "bXnXnX"},
      {"no match", "s/z/X/g", "banana", 0, ""},
      {"empty match right after a match", "s/b*/-/g", "abc", 4, "-a--c-"},
      {"empty match after non-empty is allowed", "s/a*/-/g", "baac", 4, "-b--c-"},
      {"group reference", "s/(\\w+)@(\\w+)/$2 at $1/", "me@home", 1, "home at me"},
      {"backslash group reference", "s/(a)(b)/\\2\\1/g", "abab", 2, "baba"},
      {"whole match", "s/\\d+/<$&>/g", "a1b22", 2, "a<1>b<22>"},
      {"raw dollar letter kept", "s/a/$x/", "a", 1, "$x"},
      {"parsed dollar letter dropped", "s/a/$x\\t/", "a", 1, "x\t"},
      {"one byte copied raw", "s/a/$/", "a", 1, "$"},
      {"trailing dollar yields backslash", "s/a/b$/", "a", 1, "b$"},
      {"trailing dollar parsed", "s/a/\\nb$/", "a", 1, "\nb\\"},
      {"escaped slash", "s/a/x\\/y/", "a", 1, "x/y"},
      {"escaped backslash", "s/a/\\\\/", "a", 1, "\\"},
      {"octal and hex", "s/a/\\041\\x42\\0101/", "a", 1, "!B\b1"},
      {"group that did not take part", "s/(x)?a/[$1]/", "a", 1, "[]"},
      {"group beyond count", "s/a/[$7]/", "a", 1, "[]"},
      {"multi digit group", "s/(a)/$10/", "a", 1, ""},
      {"double-byte copied whole", "s/a/" + kHyo + "\\t/", "a", 1, kHyo + "\t"},
      {"whole target replaced by nothing", "s/.*//", "abc", 1, ""},
      {"m command in RegexSubst", "m/b/", "abc", 1, ""},
      {"caret once without m under g", "s/^a/X/g", "aaa", 1, "Xaa"},
      {"caret per line with m", "s/^/> /gm", "a\nb", 2, "> a\n> b"},
      {"k keeps characters", "s/./*/gk", kNichi + "a", 2, "**"},
      {"without k bytes", "s/./*/g", kNichi + "a", 3, "***"},
  };
  CheckSubsts(rows);
  EXPECT_EQ(Subst("s///", "abc").result, -1);  // an empty pattern
  EXPECT_EQ(Subst("tr/a/b/", "abc").result, -1);
}

// Flags set inside the pattern are the command's own: they hold at every start of a g loop.
TEST(RegexSubstTest, InlineFlagsHoldInEveryRound) {
  CheckSubsts({
      {"inline m: every line", "s/(?m)^#.*\n//g", "#a\n#b\nc", 2, "c"},
      {"letter m: every line", "s/^#.*\n//gm", "#a\n#b\nc", 2, "c"},
      {"inline m: an empty start per line", "s/(?m)^/> /g", "a\nb\n", 3, "> a\n> b\n> "},
      {"inline m: line ends", "s/(?m)a$/X/g", "a\na\na", 3, "X\nX\nX"},
      {"inline m after the caret: a start after a line break", "s/^(?m)a\n/X/g", "a\na\n", 2, "XX"},
      {"inline m inside a group", "s/(?:(?m)^a)/X/g", "a\nba\na", 2, "X\nba\nX"},
      {"no m: once", "s/^a/X/g", "a\na", 1, "X\na"},
      {"inline i", "s/(?i)ab/X/g", "AB ab aB", 3, "X X X"},
      {"inline i and m", "s/(?im)^a/X/g", "A\na", 2, "X\nX"},
      {"inline s: dot takes line breaks", "s/(?s)a./X/g", "a\na\n", 2, "XX"},
      {"inline s: caret only at the start", "s/(?s)^a/X/g", "a\na", 1, "X\na"},
      {"inline s and m: caret per line", "s/(?sm)^a./X/g", "a\na\n", 2, "XX"},
      {"inline x", "s/(?x) a b # pair\n/X/g", "abab", 2, "XX"},
  });
}

std::vector<std::uint16_t> Table(const std::string& command) {
  const std::string t = "x";
  RegexHandle* h = nullptr;
  char message[32];
  std::vector<std::uint16_t> out;
  EXPECT_EQ(RegexMatch(command.c_str(), t.data(), t.data() + 1, &h, message), 0) << command;
  if (h && h->translateTable) {
    for (const std::uint16_t* p = h->translateTable;
         !(p[0] == kTranslateEnd && p[1] == kTranslateEnd); p += 2) {
      out.push_back(p[0]);
      out.push_back(p[1]);
    }
  }
  RegexFree(h);
  return out;
}

TEST(RegexTranslateTest, Tables) {
  const std::uint16_t del = kTranslateDelete;
  struct Row {
    const char* name;
    std::string command;
    std::vector<std::uint16_t> pairs;
  } rows[] = {
      {"range", "tr/a-c/A-C/", {'a', 'A', 'b', 'B', 'c', 'C'}},
      {"last value repeats", "tr/abc/x/", {'a', 'x', 'b', 'x', 'c', 'x'}},
      {"delete unpaired", "tr/abc/x/d", {'a', 'x', 'b', del, 'c', del}},
      {"empty to-list maps to itself", "tr/ab//", {'a', 'a', 'b', 'b'}},
      {"descending range is literal", "tr/c-a/x/", {'c', 'x', '-', 'x', 'a', 'x'}},
      {"escapes", "tr/\\n\\//\\t-/", {'\n', '\t', '/', '-'}},
      {"double-byte under k", "tr/" + kNichi + "/" + kHon + "/k", {0x93FA, 0x967B}},
      {"double-byte range under k",
       "tr/\x93\xFA-\x93\xFC/a/k",
       {0x93FA, 'a', 0x93FB, 'a', 0x93FC, 'a'}},
      {"bytes without k", "tr/" + kNichi + "/ab/", {0x93, 'a', 0xFA, 'b'}},
  };
  for (const Row& r : rows) EXPECT_EQ(Table(r.command), r.pairs) << r.name;
  // A range of more than 255 values is taken literally; 255 values are a range.
  EXPECT_EQ(Table("tr/\\x01-\\xff/z/").size(), 510u);
  EXPECT_EQ(Table("tr/\\x00-\\xff/z/").size(), 6u);
}

TEST(RegexSafety, StepLimitStopsCatastrophicBacktracking) {
  const std::string t = std::string(30, 'a') + "!";
  RegexHandle* h = nullptr;
  char message[32];
  EXPECT_EQ(RegexMatch("m/^(a+)+$/", t.data(), t.data() + t.size(), &h, message), -1);
  EXPECT_STREQ(message, "match limit over");
  EXPECT_EQ(RegexSubst("s/^(a+)+$/x/", t.data(), t.data() + t.size(), &h, message), 0);
  EXPECT_STREQ(message, "match limit over");
  EXPECT_EQ(h->resultStart, nullptr);
  // The same handle still works afterwards.
  const std::string ok = "aaa";
  EXPECT_EQ(RegexMatch("m/^(a+)+$/", ok.data(), ok.data() + ok.size(), &h, message), 1);
  RegexFree(h);
}

TEST(RegexSafety, MegabyteSubjectsDoNotExhaustTheStack) {
  const std::string a(1 << 20, 'a');
  std::string ab(1 << 20, 'a');
  for (std::size_t i = 0; i < ab.size(); i += 3) ab[i] = 'b';
  std::string abBang = ab;
  abBang.back() = '!';
  struct Row {
    const char* command;
    const std::string* target;
    int result;
    long length;
  } rows[] = {
      {"m/(?:a)+/", &a, 1, 1 << 20},    {"m/(a|b)*/", &ab, 1, 1 << 20},
      {"m/.*/", &a, 1, 1 << 20},        {"m/^(?:a|b)*!/", &abBang, 1, 1 << 20},
      {"m/(a|b)*c/", &ab, 0, 0},         // no "c" anywhere: rejected before any attempt
      {"m/^(?:a|b)*$/", &abBang, 0, 0},  // gives back a million rounds, then fails
      {"m/(a|b)*[c!]/", &ab, -1, 0},     // a million rounds at every start
  };
  for (const Row& r : rows) {
    RegexHandle* h = nullptr;
    char message[32];
    const int result =
        RegexMatch(r.command, r.target->data(), r.target->data() + r.target->size(), &h, message);
    EXPECT_EQ(result, r.result) << r.command << ": " << message;
    if (result == 1) {
      EXPECT_EQ(h->groupEnd[0] - h->groupStart[0], r.length) << r.command;
    }
    if (result == -1) {
      EXPECT_STREQ(message, "match limit over") << r.command;
    }
    RegexFree(h);
  }
}

// Whether a byte is a trail byte, against a count one byte at a time: runs of lead-range
// bytes of every length up to three blocks, ending at every place of a block.
TEST(RegexSafety, TrailBytesCountedAcrossBlocks) {
  std::mt19937 rng(99);
  const std::uint8_t leads[] = {0x81, 0x9F, 0xE0, 0xFC, 0x88};
  const std::uint8_t others[] = {'a', 0x80, 0xA0, 0xDF, 0xFD, 0x40, 0x7F};
  for (int run = 0; run <= 48; ++run) {
    for (int before = 0; before < 20; ++before) {
      std::vector<std::uint8_t> text;
      for (int i = 0; i < before; ++i) text.push_back(others[rng() % std::size(others)]);
      for (int i = 0; i < run; ++i) text.push_back(leads[rng() % std::size(leads)]);
      text.push_back('x');
      const std::size_t pos = text.size() - 1;
      for (std::size_t lo = 0; lo <= pos; lo += 7) {
        const std::size_t counted = pos - std::max<std::size_t>(lo, before);
        EXPECT_EQ(regex_detail::IsTrailByte(text.data(), lo, pos), (counted & 1) != 0)
            << "run " << run << " before " << before << " lo " << lo;
      }
    }
  }
}

TEST(RegexSafety, LongRunsOfLeadBytesStayLinear) {
  // Whether a byte is a trail byte depends on the lead-range bytes before it; a megabyte of
  // them must not be re-counted for every candidate.
  const std::string leads(1 << 20, '\x81');
  RegexHandle* h = nullptr;
  char message[32];
  const char* b = leads.data();
  const char* e = b + leads.size();
  EXPECT_EQ(RegexSubst("s/\x81\x81/x/gk", b, e, &h, message), 1 << 19) << message;
  ASSERT_NE(h->resultStart, nullptr);
  EXPECT_EQ(h->resultEnd - h->resultStart, 1 << 19);
  EXPECT_EQ(RegexMatch("m/\x81\x81!/k", b, e, &h, message), 0);
  EXPECT_EQ(RegexMatch("m/\\w+\x81!/k", b, e, &h, message), 0);
  std::string tail = leads +
                     "\x81"
                     "a!";
  EXPECT_EQ(RegexMatch("m/\x81"
                       "a!/k",
                       tail.data(), tail.data() + tail.size(), &h, message),
            1);
  EXPECT_EQ(h->groupStart[0] - tail.data(), (1 << 20));
  // A word boundary after the run: an even run leaves "a" a character of its own, an odd
  // one makes it a trail byte.
  const std::string even = leads + "ab";
  EXPECT_EQ(RegexMatch("m/\\bb/k", even.data(), even.data() + even.size(), &h, message), 0);
  EXPECT_EQ(RegexMatch("m/\\Bb/k", even.data(), even.data() + even.size(), &h, message), 1);
  const std::string odd = leads.substr(1) + "ab";
  EXPECT_EQ(RegexMatch("m/\\bb/k", odd.data(), odd.data() + odd.size(), &h, message), 1);
  EXPECT_EQ(h->groupStart[0] - odd.data(), (1 << 20));
  RegexFree(h);
}

TEST(RegexSafety, GroupNestingLimit) {
  const std::string t = "a";
  auto nested = [](int depth) {
    return "m/" + std::string(static_cast<std::size_t>(depth), '(') + "a" +
           std::string(static_cast<std::size_t>(depth), ')') + "/";
  };
  RegexHandle* h = nullptr;
  char message[32];
  EXPECT_EQ(RegexMatch(nested(250).c_str(), t.data(), t.data() + 1, &h, message), 1);
  EXPECT_EQ(h->groupCount, 250);
  EXPECT_EQ(RegexMatch(nested(251).c_str(), t.data(), t.data() + 1, &h, message), -1);
  EXPECT_EQ(h, nullptr);
}

// The engine (hints on and off) against the reference matcher: whether, where and how long.
void CheckAgainstReference(const std::string& pattern, const std::string& text) {
  const auto expected = regex_test::ReferenceSearch(pattern, text);
  const Outcome o = Match("m/" + pattern + "/", text);
  ASSERT_NE(o.result, -1) << pattern;
  ASSERT_EQ(o.result == 1, expected.has_value()) << pattern << " on [" << text << "]";
  if (expected) {
    EXPECT_EQ(o.start, static_cast<long>(expected->first)) << pattern << " on [" << text << "]";
    EXPECT_EQ(o.whole.size(), expected->second - expected->first)
        << pattern << " on [" << text << "]";
  }
}

std::string RandomText(std::mt19937& rng, const std::string& letters, int maxLength) {
  std::string text;
  const int length = 1 + static_cast<int>(rng() % static_cast<unsigned>(maxLength));
  for (int j = 0; j < length; ++j) text += letters[rng() % letters.size()];
  return text;
}

// Random patterns over a small alphabet, checked against the reference matcher with the hints
// on and off.
TEST(RegexReference, RandomPatternsAgreeWithReference) {
  std::mt19937 rng(12345);
  const std::string atoms[] = {"a",    "b",     "c",         ".",      "[ab]",    "[^a]",  "\\d",
                               "\\w",  "(a|b)", "(ab|a)",    "(?:a*)", "(b?)",    "x",     "1",
                               "(a|)", "^",     "$",         "(|a)",   "(?:^|b)", "(a*?)", "\\b",
                               "\\B",  "[a1 ]", "(?:\\b|x)", "[a-z]"};
  const std::string quantifiers[] = {"",    "",    "",      "*",    "+",     "?",   "*?",    "+?",
                                     "?\?", "{2}", "{1,2}", "{0,}", "{2,}?", "{3}", "{2,3}?"};
  for (int i = 0; i < 4000; ++i) {
    std::string pattern;
    const int items = 1 + static_cast<int>(rng() % 4);
    for (int j = 0; j < items; ++j) {
      const std::string& atom = atoms[rng() % std::size(atoms)];
      pattern += atom;
      if (atom != "^" && atom != "$" && atom != "\\b" && atom != "\\B") {
        pattern += quantifiers[rng() % std::size(quantifiers)];
      }
      if (rng() % 8 == 0) pattern += "|";
    }
    if (pattern.back() == '|') pattern.pop_back();
    CheckAgainstReference(pattern, RandomText(rng, "abcx1 \n", 10));
  }
}

// Choices among literal runs, found by their first bytes and checked run by run, and runs
// with word boundaries around them.
TEST(RegexReference, RandomLiteralChoicesAgreeWithReference) {
  std::mt19937 rng(2024);
  for (int i = 0; i < 1500; ++i) {
    std::string pattern;
    const int choices = 1 + static_cast<int>(rng() % 4);
    for (int c = 0; c < choices; ++c) {
      if (c > 0) pattern += '|';
      if (rng() % 4 == 0) pattern += "\\b";
      pattern += RandomText(rng, "abx", 3);
      if (rng() % 4 == 0) pattern += "\\b";
    }
    CheckAgainstReference(pattern, RandomText(rng, "abx _", 12));
  }
}

// Counted repeats of bodies that can match empty, where a round below the minimum may be empty.
TEST(RegexReference, RandomCountedRepeatsOfEmptyBodiesAgreeWithReference) {
  std::mt19937 rng(4242);
  const std::string bodies[] = {"|a", "a|", "^|a", "a|^", "b?", "a*", "a*?", "a?|b", "|ab", "$|b"};
  const std::string counts[] = {"{0,1}", "{1}", "{1,2}", "{2}", "{2,3}", "{3}", "{2,}", "{0,2}"};
  const std::string tails[] = {"", "a", "b", "$", "ab", "(?:a|b)", "x?"};
  for (int i = 0; i < 2000; ++i) {
    std::string pattern = (rng() % 2 ? "(" : "(?:") + bodies[rng() % std::size(bodies)] + ")" +
                          counts[rng() % std::size(counts)] + (rng() % 2 ? "?" : "");
    if (rng() % 3 == 0) pattern = "x?" + pattern;
    pattern += tails[rng() % std::size(tails)];
    CheckAgainstReference(pattern, RandomText(rng, "abx", 6));
  }
}

}  // namespace
}  // namespace yk

namespace yk {
namespace {

// Double-byte text under k: no reference here, but the hints must never change a result.
TEST(RegexReference, RandomDoubleBytePatternsSameWithAndWithoutHints) {
  std::mt19937 rng(777);
  const std::string atoms[] = {kNichi,
                               kHon,
                               kHyo,
                               kA,
                               ".",
                               "[^a]",
                               "\\W",
                               "a",
                               "A",
                               "\\\\",
                               "(a|" + kNichi + ")",
                               "[a-z" + kHon + "]",
                               "\\w",
                               "(?:" + kA + "x)",
                               "\\b",
                               "\\B",
                               "(?:\\b|a)",
                               "[a-z]"};
  const std::string quantifiers[] = {"", "", "*", "+", "?", "+?", "{2}", "{1,3}"};
  const std::string pieces[] = {kNichi, kHon, kHyo, kA,  kSama, kTen, "a",
                                "A",    "\\", "\n", "x", "@",   "l"};
  const std::string options[] = {"k", "ki", "km", "kg", ""};
  // Choices among literal runs of characters whose trail bytes are letters, with and without
  // folding: a run must not start on a trail byte, and a trail byte compares exactly.
  for (int i = 0; i < 1000; ++i) {
    std::string pattern;
    const int choices = 1 + static_cast<int>(rng() % 3);
    for (int c = 0; c < choices; ++c) {
      if (c > 0) pattern += '|';
      const int length = 1 + static_cast<int>(rng() % 3);
      for (int j = 0; j < length; ++j) pattern += pieces[rng() % 7];
    }
    std::string text;
    const int length = 1 + static_cast<int>(rng() % 10);
    for (int j = 0; j < length; ++j) text += pieces[rng() % std::size(pieces)];
    Match("m/" + pattern + "/" + options[rng() % 2], text);
  }
  for (int i = 0; i < 5000; ++i) {
    std::string pattern;
    const int items = 1 + static_cast<int>(rng() % 4);
    for (int j = 0; j < items; ++j) {
      pattern += atoms[rng() % std::size(atoms)];
      pattern += quantifiers[rng() % std::size(quantifiers)];
    }
    std::string text;
    const int length = 1 + static_cast<int>(rng() % 12);
    for (int j = 0; j < length; ++j) text += pieces[rng() % std::size(pieces)];
    const std::string& opts = options[rng() % std::size(options)];
    const Outcome o = Match("m/" + pattern + "/" + opts, text);
    // Without k the trail byte 0x5C of a character escapes the next pattern byte.
    if (!opts.empty()) {
      ASSERT_NE(o.result, -1) << pattern << ": " << o.message;
    }
    if (o.result == 1 && opts[0] == 'k') {
      // Under k no match starts or ends inside a double-byte character.
      const auto* base = reinterpret_cast<const std::uint8_t*>(text.data());
      EXPECT_FALSE(regex_detail::IsTrailByte(base, 0, static_cast<std::size_t>(o.start)))
          << pattern << " on " << text;
    }
    Subst("s/" + pattern + "/<$&>/" + opts, text);
  }
}

}  // namespace
}  // namespace yk
