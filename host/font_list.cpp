// font_list.cpp — the font dialog's first selection.
#include "host/font_list.h"

#include "host/list_search.h"

namespace yk {

int InitialFontLine(const std::vector<std::u16string>& families, std::u16string_view face,
                    std::u16string_view drawnWith) {
  if (families.empty()) return -1;
  int line = FindLineStartingWith(families, face);
  if (line < 0 && !drawnWith.empty()) line = FindLineEqualTo(families, drawnWith);
  return line < 0 ? 0 : line;
}

}  // namespace yk
