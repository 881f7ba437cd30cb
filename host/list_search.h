// list_search.h — finding a line of a list box by its text, as the font and dial-up
// dialogs select the stored name.
//
// Both searches ignore the case of Latin letters, half-width and full-width alike
// ("ipa" finds "IPAGothic", "ｍｓ" finds "ＭＳ Ｐゴシック"); everything else compares unit
// by unit.  They return the index of the first line that matches, or -1.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace yk {

// The first line that begins with `prefix` (an empty prefix matches the first line).
int FindLineStartingWith(const std::vector<std::u16string>& lines, std::u16string_view prefix);

// The first line equal to `text`.
int FindLineEqualTo(const std::vector<std::u16string>& lines, std::u16string_view text);

}  // namespace yk
