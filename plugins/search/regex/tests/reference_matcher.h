// A deliberately small and slow backtracking matcher used only to cross-check the engine:
// literals, ".", classes with ranges and negation, \d \w \s, \b \B, groups, "|", the greedy
// and minimal quantifiers * + ? {n,m}, and ^ $ without multi-line mode. Bytes only.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace yk::regex_test {

// Leftmost match of pattern in text as (start, end); nullopt when none. Throws
// std::invalid_argument for syntax it does not know.
std::optional<std::pair<std::size_t, std::size_t>> ReferenceSearch(const std::string& pattern,
                                                                   const std::string& text);

}  // namespace yk::regex_test
