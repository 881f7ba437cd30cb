// list_search.cpp — prefix and exact line search that ignores letter case.
#include "host/list_search.h"

namespace yk {
namespace {

char16_t FoldCase(char16_t c) {
  if (c >= u'A' && c <= u'Z') return char16_t(c - u'A' + u'a');
  if (c >= u'Ａ' && c <= u'Ｚ') return char16_t(c - u'Ａ' + u'ａ');
  return c;
}

bool SameIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

}  // namespace

int FindLineStartingWith(const std::vector<std::u16string>& lines, std::u16string_view prefix) {
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::u16string& line = lines[i];
    if (line.size() >= prefix.size() &&
        SameIgnoringCase(std::u16string_view(line).substr(0, prefix.size()), prefix))
      return int(i);
  }
  return -1;
}

int FindLineEqualTo(const std::vector<std::u16string>& lines, std::u16string_view text) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (SameIgnoringCase(lines[i], text)) return int(i);
  }
  return -1;
}

}  // namespace yk
