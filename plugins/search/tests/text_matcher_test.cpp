// Matching and replacing, plain and with regular expressions, on texts of any length.
#include "plugins/search/text_matcher.h"

#include <gtest/gtest.h>

namespace yk::search {
namespace {

using Replaced = TextMatcher::Replaced;

TEST(TextMatcher, MatchesPlainAndRegularExpressionTexts) {
  const struct {
    const char* rule;
    std::u16string search;
    bool regex;
    std::u16string text;
    bool matches;
  } cases[] = {
      {"plain substring", u"会議", false, u"定例会議の準備", true},
      {"plain is case-sensitive", u"ABC", false, u"abc", false},
      {"plain finds inside a stored line break", u"議__TV", false, u"会議__TVRET__A室", true},
      {"plain needs the whole text", u"会議室", false, u"会議", false},
      {"regex", u"[0-9]+時", true, u"朝10時から", true},
      {"regex is case-sensitive", u"ABC", true, u"abc", false},
      {"regex: ^ at any line of a memo", u"^A室", true, u"会議\r\nA室", true},
      {"regex: $ before a line break", u"会議$", true, u"会議\r\nA室", true},
      {"regex: ^ not inside a line", u"^室", true, u"会議\r\nA室", false},
      {"regex: / in the search text", u"5/1", true, u"締切5/1", true},
      {"regex: / twice", u"a/b/c", true, u"xa/b/cx", true},
      {"regex: . is a whole double-byte character", u"^会.$", true, u"会議", true},
      {"regex: a trail byte is no character", u"\\\\", true, u"表", false},
      {"regex the engine refuses", u"*会議", true, u"会議", false},
      {"regex on an empty text", u"^$", true, u"", false},
      {"regex naming a character the code page lacks", u"𠮷", true, u"𠮷野家", false},
  };
  for (const auto& c : cases) {
    TextMatcher matcher(c.search, u"", c.regex);
    EXPECT_EQ(matcher.MatchText(c.text), c.matches) << c.rule;
    EXPECT_EQ(matcher.MatchText(c.text), c.matches) << c.rule << " (compiled command reused)";
  }
}

// A 1,023-unit Japanese schedule text is 2,046 bytes in the code page: it is matched and
// replaced whole, up to its last character.
TEST(TextMatcher, LongTextsAreMatchedAndReplacedWhole) {
  const std::u16string text = std::u16string(1020, u'あ') + u"最後";
  for (bool regex : {false, true}) {
    TextMatcher matcher(u"最後", u"終", regex);
    EXPECT_TRUE(matcher.MatchText(text)) << regex;
    const TextMatcher::Replacement out = matcher.ReplaceInText(text);
    EXPECT_EQ(out.status, Replaced::kChanged) << regex;
    EXPECT_EQ(out.text, std::u16string(1020, u'あ') + u"終") << regex;
  }
  const std::u16string memo = std::u16string(5000, u'い') + u"\r\n終わり";
  TextMatcher regex(u"^終わり$", u"おしまい", true);
  EXPECT_TRUE(regex.MatchText(memo));
  EXPECT_EQ(regex.ReplaceInText(memo).text, std::u16string(5000, u'い') + u"\r\nおしまい");
}

TEST(TextMatcher, ReplacesEveryOccurrenceOrSaysWhyNot) {
  const struct {
    const char* rule;
    std::u16string search, replacement;
    bool regex;
    std::u16string text;
    Replaced status;
    std::u16string result;
  } cases[] = {
      {"plain, every occurrence", u"X", u"YY", false, u"aXbXc", Replaced::kChanged, u"aYYbYYc"},
      {"plain, inserted text not rescanned", u"a", u"aa", false, u"aa", Replaced::kChanged,
       u"aaaa"},
      {"plain, case-sensitive", u"abc", u"x", false, u"ABC", Replaced::kNoMatch, u""},
      {"plain keeps what the code page lacks", u"会議", u"打合せ", false, u"𠮷野家で会議",
       Replaced::kChanged, u"𠮷野家で打合せ"},
      {"regex with a group", u"([0-9]+)時", u"$1:00", true, u"会議10時", Replaced::kChanged,
       u"会議10:00"},
      {"regex, / in both texts", u"5/1", u"6/1", true, u"締切5/1", Replaced::kChanged, u"締切6/1"},
      {"regex at every line, CR LF back", u"^", u"・", true, u"a\r\nb", Replaced::kChanged,
       u"・a\r\n・b"},
      {"regex removing everything", u"^.*$", u"", true, u"会議", Replaced::kChanged, u""},
      {"regex, nothing to replace", u"無い", u"x", true, u"会議", Replaced::kNoMatch, u""},
      {"regex, text the code page lacks", u"会議", u"打合せ", true, u"𠮷野家で会議",
       Replaced::kNotExact, u""},
      {"regex, replacement the code page lacks", u"会議", u"𠮷", true, u"会議", Replaced::kNotExact,
       u""},
      // The code page writes 〜 and ～ (and a few more pairs) as one code: a text passing
      // through it keeps the form it was typed in, wherever the pattern leaves it alone.
      {"regex keeps a typed wave dash", u"会議", u"打合せ", true, u"10時〜12時 会議",
       Replaced::kChanged, u"10時〜12時 打合せ"},
      {"regex keeps each form where it stood", u"[0-9]+", u"#", true, u"1〜2～3−4－5—6",
       Replaced::kChanged, u"#〜#～#−#－#—#"},
      {"regex moves a typed form with its group", u"(.)(.)", u"$2$1", true, u"a〜",
       Replaced::kChanged, u"〜a"},
      {"regex puts in the replacement as typed", u"x", u"〜", true, u"x～", Replaced::kChanged,
       u"〜～"},
      {"regex on a text holding a character of the user area", u"x", u"y", true, u"\uE750〜x",
       Replaced::kChanged, u"\uE750～y"},
      {"regex naming the character matches both forms", u"〜", u"-", true, u"〜と～",
       Replaced::kChanged, u"-と-"},
  };
  for (const auto& c : cases) {
    TextMatcher matcher(c.search, c.replacement, c.regex);
    const TextMatcher::Replacement out = matcher.ReplaceInText(c.text);
    EXPECT_EQ(out.status, c.status) << c.rule;
    EXPECT_EQ(out.text, c.result) << c.rule;
  }
}

}  // namespace
}  // namespace yk::search
