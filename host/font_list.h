// font_list.h — which line the font dialog (146) selects when it opens.
//
// The list holds the font families of the screen.  The stored face name selects the first
// family that begins with it (ignoring case).  A face this machine does not have — above
// all the default "ＭＳ Ｐゴシック" — is drawn with a family of its own choosing (the
// installed Japanese Gothic, see platform/text_draw.h); that family is selected next, so
// that OK without a change keeps the text looking as it does.  Otherwise the first line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace yk {

// The line to select, -1 only for an empty list.  `drawnWith` is the family `face` is
// drawn with here (empty when unknown).
int InitialFontLine(const std::vector<std::u16string>& families, std::u16string_view face,
                    std::u16string_view drawnWith);

}  // namespace yk
