// Commands and targets from the fuzzer's bytes through RegexMatch and RegexSubst, with and
// without the k, i, m and g options. The target sits in a buffer of exactly its size so that
// any read past its end is caught.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "plugins/search/regex/regex.h"

namespace {

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
