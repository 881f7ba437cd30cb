// dialup_list.cpp — the dial-up dialog's entries and first selection.
#include "host/dialup_list.h"

#include "host/list_search.h"

namespace yk {

std::vector<std::u16string> ListedDialupEntries(const std::vector<std::u16string>& phoneBook) {
  std::vector<std::u16string> listed;
  for (const std::u16string& name : phoneBook) {
    if (name.find(u'`') == std::u16string::npos) listed.push_back(name);
  }
  return listed;
}

int InitialDialupLine(const std::vector<std::u16string>& lines, std::u16string_view dialName) {
  int line = FindLineEqualTo(lines, dialName);
  return line >= 0 ? line : FindLineStartingWith(lines, dialName);
}

}  // namespace yk
