// text_matcher.h — whether a text holds what the user searches for, and the text with it
// replaced.
//
// Plain mode compares UTF-16 code units exactly (case-sensitive; line breaks and
// "__TVRET__" tokens are plain characters).  A replacement rewrites every occurrence left
// to right without rescanning what it put in.
//
// Regular-expression mode hands the texts to the regex engine as CP932 bytes: "/" in the
// search and replacement texts is escaped once ("\/"), the CRs of the text are taken out,
// and the commands are "m/%s/km" (k: double-byte characters are characters; m: ^ and $ at
// every line) and "s/%s/%s/gkm".  The engine's result comes back with every LF as CR LF.
// A pattern the engine refuses matches nothing and replaces nothing; no message is shown.
//
// Texts of any length are matched and replaced whole.  A replacement is exact or not made:
// when the text, the replacement or the engine's result can't pass through the code page
// without a character changing (see common/cp932_text.h), the text is left as it was and
// the result says so.  The code page writes a few pairs of characters (〜 and ～ ...) as
// one code, so a pattern naming either finds both; what the pattern leaves alone, and
// what the replacement puts in, keeps the form it was typed in.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace yk {
struct RegexHandle;
}

namespace yk::search {

class TextMatcher {
 public:
  TextMatcher(std::u16string_view search, std::u16string_view replacement, bool useRegex);
  ~TextMatcher();
  TextMatcher(const TextMatcher&) = delete;
  TextMatcher& operator=(const TextMatcher&) = delete;

  bool useRegex() const { return useRegex_; }
  const std::u16string& search() const { return search_; }
  const std::u16string& replacement() const { return replacement_; }

  [[nodiscard]] bool MatchText(std::u16string_view text);

  enum class Replaced {
    kChanged,   // at least one occurrence replaced (the text may read the same)
    kNoMatch,   // nothing to replace (or the engine refused the pattern)
    kNotExact,  // the code page would change a character: left as it was
  };
  struct Replacement {
    Replaced status = Replaced::kNoMatch;
    std::u16string text;  // the new text when kChanged
  };
  [[nodiscard]] Replacement ReplaceInText(std::u16string_view text);

 private:
  // The replacement of `text` (no CRs) once more, with the typed forms of the folded
  // pairs kept apart; nullopt unless it reads as `folded`, the engine's own result.
  std::optional<std::u16string> WithTypedForms(std::u16string_view text,
                                               std::u16string_view folded);

  std::u16string search_;
  std::u16string replacement_;
  bool useRegex_;
  // Regex mode: the commands as the engine takes them, and whether the typed texts
  // passed through the code page exactly.
  std::string matchCommand_;
  std::string substCommand_;
  bool patternExact_ = true;
  bool replacementExact_ = true;
  RegexHandle* matchHandle_ = nullptr;
  RegexHandle* substHandle_ = nullptr;
  // The substitution with the typed forms kept apart (empty when a text holds one of the
  // characters that stand in for them), and whether the typed texts hold a typed form.
  std::string typedFormsCommand_;
  bool typedFormsTyped_ = false;
  RegexHandle* typedFormsHandle_ = nullptr;
};

}  // namespace yk::search
