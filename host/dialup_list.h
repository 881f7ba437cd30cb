// dialup_list.h — the dial-up dialog's (147) list: which phone-book entries it shows and
// which one it selects when it opens.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace yk {

// The entries the list shows, in phone-book order: every name that contains no backquote
// (U+0060; such entries belong to the system, not to the user).
std::vector<std::u16string> ListedDialupEntries(const std::vector<std::u16string>& phoneBook);

// The line selected for the stored connection name: the line equal to it, else the first
// line that begins with it (so an empty name selects the first line), else -1.
int InitialDialupLine(const std::vector<std::u16string>& lines, std::u16string_view dialName);

}  // namespace yk
