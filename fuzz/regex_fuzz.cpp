// Commands and targets from the fuzzer's bytes through RegexMatch and RegexSubst, with and
// without the k, i, m and g options. The target sits in a buffer of exactly its size so that
// any read past its end is caught. Every command also runs with the search hints off, and
// the two runs must agree: the hints only narrow where the program is tried.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "plugins/search/regex/regex.h"
#include "plugins/search/regex/regex_internal.h"

namespace {

// What a call left in the handle: its result, the groups (as offsets) and the result text.
struct Outcome {
  int result = 0;
  std::vector<long> groups;
  std::string text;
};

template <typename Call>
Outcome RunOnce(Call call, const std::string& command, const char* begin, const char* end,
                bool hints) {
  yk::RegexHandle* handle = nullptr;
  char message[32];
  Outcome o;
  if (!hints) {
    (void)call(command.c_str(), begin, end, &handle, message);
    yk::regex_detail::SetHintsEnabled(handle, false);
  }
  o.result = call(command.c_str(), begin, end, &handle, message);
  if (handle) {
    for (int g = 0; o.result == 1 && g <= handle->groupCount; ++g) {
      o.groups.push_back(handle->groupStart[g] ? handle->groupStart[g] - begin : -1);
      o.groups.push_back(handle->groupStart[g] ? handle->groupEnd[g] - begin : -1);
    }
    if (handle->resultStart) o.text.assign(handle->resultStart, handle->resultEnd);
  }
  yk::RegexFree(handle);
  return o;
}

// A result of -1 may be the step limit, which the two runs reach after different work.
template <typename Call>
void SameWithoutHints(Call call, const std::string& command, const char* begin,
                      const char* end) {
  const Outcome on = RunOnce(call, command, begin, end, true);
  const Outcome off = RunOnce(call, command, begin, end, false);
  if (on.result == -1 || off.result == -1) return;
  if (on.result != off.result || on.groups != off.groups || on.text != off.text) {
    __builtin_trap();
  }
}

void Run(const std::string& command, const std::string& target) {
  if (target.empty()) return;
  std::unique_ptr<char[]> buffer(new char[target.size()]);
  std::memcpy(buffer.get(), target.data(), target.size());
  const char* begin = buffer.get();
  const char* end = begin + target.size();
  yk::RegexHandle* handle = nullptr;
  char message[32];
  const int matched = yk::RegexMatch(command.c_str(), begin, end, &handle, message);
  if (matched == 1 && handle) {
    for (int g = 0; g <= handle->groupCount; ++g) {
      if (!handle->groupStart[g]) continue;
      if (handle->groupStart[g] < begin || handle->groupEnd[g] > end ||
          handle->groupEnd[g] < handle->groupStart[g]) {
        __builtin_trap();
      }
    }
  }
  if (std::strlen(message) >= sizeof message) __builtin_trap();
  const int count = yk::RegexSubst(command.c_str(), begin, end, &handle, message);
  if (count > 0 && handle && handle->resultStart) {
    if (*handle->resultEnd != '\0') __builtin_trap();
  }
  // A second call with the same command reuses the compiled form.
  (void)yk::RegexMatch(nullptr, begin, end, &handle, message);
  yk::RegexFree(handle);
  SameWithoutHints(yk::RegexMatch, command, begin, end);
  SameWithoutHints(yk::RegexSubst, command, begin, end);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint8_t flags = data[0];
  const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::size_t split = rest.find('\0');
  std::string pattern = rest.substr(0, split);
  const std::string target = split == std::string::npos ? rest : rest.substr(split + 1);

  std::string options;
  if (flags & 1) options += 'k';
  if (flags & 2) options += 'i';
  if (flags & 4) options += 'm';
  if (flags & 8) options += 'g';
  if (flags & 16) {
    Run(pattern, target);  // the bytes as a whole command
    return 0;
  }
  std::string replacement = "<$1\\n$&>";
  const std::size_t slash = pattern.find('\x01');
  if (slash != std::string::npos) {
    replacement = pattern.substr(slash + 1);
    pattern.resize(slash);
  }
  for (char& c : pattern) {
    if (c == '/') c = '_';
  }
  for (char& c : replacement) {
    if (c == '/') c = '_';
  }
  Run("m/" + pattern + "/" + options, target);
  Run("s/" + pattern + "/" + replacement + "/" + options, target);
  if (flags & 32) Run("tr/" + pattern + "/" + replacement + "/" + options + "d", target);
  return 0;
}
