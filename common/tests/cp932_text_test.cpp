// Exact code-page conversion: which characters CP932 holds, which it doesn't, and the
// texts that fill the program's messages.
#include "common/cp932_text.h"

#include <gtest/gtest.h>

#include "common/u16_format.h"

namespace yk {
namespace {

TEST(Cp932Text, EncodesExactlyOrNamesTheFirstCharacterItCannotHold) {
  const struct {
    const char* rule;
    std::u16string text;
    std::string bytes;   // expected bytes when exact
    char32_t offending;  // 0 = exact
  } cases[] = {
      {"empty", u"", "", 0},
      {"ASCII and CR LF", u"Room 3\r\nB", "Room 3\r\nB", 0},
      {"kanji", u"会議", "\x89\xEF\x8B\x63", 0},
      {"half-width kana", u"ｷｬﾝｾﾙ", "\xB7\xAC\xDD\xBE\xD9", 0},
      {"wave dash typed by input methods", u"10〜12",
       "10\x81\x60"
       "12",
       0},
      {"fullwidth tilde", u"～", "\x81\x60", 0},
      {"minus sign", u"−", "\x81\x7C", 0},
      {"em dash", u"—", "\x81\x5C", 0},
      {"NEC special character", u"①", "\x87\x40", 0},
      {"a question mark of its own", u"?", "?", 0},
      {"yen sign would read back as a backslash", u"¥100", "", U'¥'},
      {"overline would read back as a tilde", u"‾", "", U'‾'},
      {"character outside the BMP", u"𠮷野家", "", U'𠮷'},
      {"Hangul", u"가", "", U'가'},
      {"emoji after convertible text", u"会議😀です", "", U'😀'},
      {"the first of two", u"가😀", "", U'가'},
      // Listed unit by unit: GCC 12 at -O3 warns (-Wrestrict) about u"a" + a string.
      {"lone high surrogate", std::u16string{char16_t(0xD800), u'a'}, "", 0xD800},
      {"lone low surrogate", std::u16string{u'a', char16_t(0xDC00)}, "", 0xDC00},
  };
  for (const auto& c : cases) {
    const Cp932Encoded out = EncodeCp932(c.text);
    EXPECT_EQ(out.exact, c.offending == 0) << c.rule;
    EXPECT_EQ(out.offending, c.offending) << c.rule;
    if (c.offending == 0) {
      EXPECT_EQ(out.bytes, c.bytes) << c.rule;
    }
  }
}

TEST(Cp932Text, DecodesAndTellsWhenBytesAreNoCharacter) {
  const struct {
    const char* rule;
    std::string bytes;
    std::u16string text;
    bool exact;
  } cases[] = {
      {"kanji and CR LF", "\x89\xEF\x8B\x63\r\n", u"会議\r\n", true},
      {"IBM extension chosen by NEC", "\xED\x40", u"纊", true},
      {"same character, IBM code", "\xFA\x5C", u"纊", true},
      {"a byte that is no character",
       "a\x80"
       "b",
       u"a\uFFFDb", false},
      {"lead byte cut at the end", "a\x82", u"a\uFFFD", false},
  };
  for (const auto& c : cases) {
    const Cp932Decoded out = DecodeCp932(c.bytes);
    EXPECT_EQ(out.text, c.text) << c.rule;
    EXPECT_EQ(out.exact, c.exact) << c.rule;
  }
}

TEST(Cp932Text, DescribesACharacterForAMessage) {
  EXPECT_EQ(DescribeCharacter(U'𠮷'), u"「𠮷」(U+20BB7)");
  EXPECT_EQ(DescribeCharacter(U'¥'), u"「¥」(U+00A5)");
  EXPECT_EQ(DescribeCharacter(0xD800), u"U+D800");
  EXPECT_EQ(DescribeCharacter(0x7F), u"U+007F");
}

TEST(U16Format, FillsNumbersAndTextsInOrder) {
  EXPECT_EQ(Format16(u"%d年%d月%d日", {2004, 5, 1}), u"2004年5月1日");
  EXPECT_EQ(Format16(u"%d/%d/%d～%d/%d/%dの予定を検索しています。\r\n[%s]",
                     {2004, 2, 29, 2005, 1, 1, u"会議"}),
            u"2004/2/29～2005/1/1の予定を検索しています。\r\n[会議]");
  EXPECT_EQ(Format16(u"%d%% %s", {-7, u""}), u"-7% ");
  EXPECT_EQ(Format16(u"%d and %d", {1}), u"1 and %d") << "missing argument";
  EXPECT_EQ(Format16(u"%s", {3}), u"%s") << "argument of the other kind";
  EXPECT_EQ(Format16(u"%x%", {}), u"%x%");
  EXPECT_EQ(Decimal16(-2147483647 - 1), u"-2147483648");
}

}  // namespace
}  // namespace yk
