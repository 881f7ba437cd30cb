// cp932_text.h — text in the device code page (CP932, Shift-JIS) without silent loss.
//
// Memos are stored, and regular expressions run, as CP932 bytes, while the program's text
// is UTF-16, which holds many characters CP932 lacks (𠮷, emoji, Hangul ...).  The
// platform's converter puts "?" in their place and never fails; the functions here say
// whether a conversion was exact and name the first character that was not, so that no
// caller stores a changed text without knowing it.
//
// A few characters have two Unicode forms that the Japanese code pages write as one code:
// WAVE DASH 〜 / FULLWIDTH TILDE ～, MINUS SIGN − / FULLWIDTH HYPHEN-MINUS －, DOUBLE
// VERTICAL LINE ‖ / PARALLEL TO ∥, EM DASH — / HORIZONTAL BAR ―, and the cent, pound and
// not signs ¢ £ ¬ / ￠ ￡ ￢.  Input methods type the first form and the code page reads
// back the second; the character is the same on the page, so it counts as exact.  The yen
// sign ¥ and the overline ‾, which the converter writes as the ASCII backslash and tilde,
// do not: they would come back as other characters.
#pragma once

#include <string>
#include <string_view>

namespace yk {

// The pairs above: the form typed, and the form the code page reads back.
struct Cp932FoldedForm {
  char16_t typed;
  char16_t read;
};
inline constexpr Cp932FoldedForm kCp932FoldedForms[] = {
    {u'\u301C', u'\uFF5E'},  // 〜 → ～
    {u'\u2212', u'\uFF0D'},  // − → －
    {u'\u2016', u'\u2225'},  // ‖ → ∥
    {u'\u2014', u'\u2015'},  // — → ―
    {u'\u00A2', u'\uFFE0'},  // ¢ → ￠
    {u'\u00A3', u'\uFFE1'},  // £ → ￡
    {u'\u00AC', u'\uFFE2'},  // ¬ → ￢
};

// The form in which the code page gives `unit` back: itself, except for the typed forms
// of kCp932FoldedForms.
[[nodiscard]] char16_t Cp932ReadBackForm(char16_t unit);

struct Cp932Encoded {
  std::string bytes;       // the converted bytes ("?" where a character was not exact)
  bool exact = true;       // every character converted exactly (as above)
  char32_t offending = 0;  // when not: the first character that was not
};

// UTF-16 text as CP932 bytes.  A lone surrogate is a character that is never exact.
[[nodiscard]] Cp932Encoded EncodeCp932(std::u16string_view text);

struct Cp932Decoded {
  std::u16string text;  // U+FFFD where a byte sequence is no CP932 character
  bool exact = true;    // every byte sequence was a character
};

// CP932 bytes as UTF-16 text.
[[nodiscard]] Cp932Decoded DecodeCp932(std::string_view bytes);

// A character for a message: "「𠮷」(U+20BB7)"; a control character or a lone surrogate is
// shown by its number alone.
[[nodiscard]] std::u16string DescribeCharacter(char32_t character);

}  // namespace yk
