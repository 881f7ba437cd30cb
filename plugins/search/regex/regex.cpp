// RegexMatch, RegexSubst and RegexFree: parameter checks, compile-once reuse of the handle's
// command, and the result text. Nothing here throws to the caller.
#include "plugins/search/regex/regex.h"

#include <climits>
#include <cstring>
#include <memory>
#include <new>

#include "plugins/search/regex/regex_internal.h"

namespace yk {

namespace regex_detail {

void SetMessage(char* message, const char* text) {
  constexpr std::size_t kMessageBytes = 32;
  std::size_t n = std::strlen(text);
  if (n > kMessageBytes - 1) n = kMessageBytes - 1;
  std::memcpy(message, text, n);
  message[n] = '\0';
}

void SetHintsEnabled(RegexHandle* handle, bool enabled) {
  if (handle) static_cast<CompiledCommand*>(handle)->useHints = enabled;
}

SearchStatus SearchCommand(CompiledCommand& command, const char* target, std::size_t length,
                           std::size_t searchStart, std::size_t minEnd, std::uint64_t& steps) {
  SearchRequest request;
  request.text = reinterpret_cast<const std::uint8_t*>(target);
  request.length = length;
  request.searchStart = searchStart;
  request.minEnd = minEnd;
  // An inline (?m) counts as the letter m, also for the starts of later rounds.
  request.multiLine = ((command.options | command.program.options) & kOptMultiLine) != 0;
  request.useHints = command.useHints;
  const SearchStatus status =
      Search(command.program, command.hints, request, command.scratch, steps);
  const std::vector<std::int32_t>& starts = command.scratch.starts;
  const std::vector<std::int32_t>& ends = command.scratch.ends;
  for (std::size_t g = 0; g < command.groupStarts.size(); ++g) {
    const bool took = status == SearchStatus::Match && g < starts.size() && starts[g] >= 0 &&
                      ends[g] >= starts[g];
    command.groupStarts[g] = took ? target + starts[g] : nullptr;
    command.groupEnds[g] = took ? target + ends[g] : nullptr;
  }
  command.lastTargetStart = target;
  command.lastTargetEnd = target + length;
  return status;
}

}  // namespace regex_detail

namespace {

using namespace regex_detail;

// Compiles a command text into a new compiled command. Null with the message set on failure.
std::unique_ptr<CompiledCommand> Compile(const char* text, std::size_t length, char* message) {
  std::unique_ptr<CompiledCommand> cc;
  try {
    cc = std::make_unique<CompiledCommand>();
    cc->commandText.assign(text, length);
  } catch (const std::bad_alloc&) {
    SetMessage(message, "precompile out of space");
    return nullptr;
  }
  cc->commandStart = cc->commandText.data();
  cc->commandEnd = cc->commandText.data() + length;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(cc->commandText.data());
  ParsedCommand parsed;
  if (const char* failure = ParseCommand(bytes, length, parsed)) {
    SetMessage(message, failure);
    return nullptr;
  }
  cc->kind = parsed.kind;
  cc->options = parsed.options;
  cc->pattern.assign(cc->commandText, parsed.firstBegin, parsed.firstEnd - parsed.firstBegin);
  if (parsed.kind == CommandKind::Translate) {
    try {
      BuildTranslateTable(bytes + parsed.firstBegin, parsed.firstEnd - parsed.firstBegin,
                          bytes + parsed.secondBegin, parsed.secondEnd - parsed.secondBegin,
                          parsed.options, cc->translate);
    } catch (const std::bad_alloc&) {
      SetMessage(message, "out of space trcomp");
      return nullptr;
    }
    cc->translateTable = cc->translate.data();
  } else {
    if (!cc->pattern.empty()) {
      // m and s commands: the "s" letter does not select single-line mode.
      const std::uint32_t compileOptions = parsed.options & ~kOptSqueeze;
      if (!CompilePattern(reinterpret_cast<const std::uint8_t*>(cc->pattern.data()),
                          cc->pattern.size(), compileOptions, cc->program)) {
        return nullptr;  // a pattern error has an empty message
      }
      ComputeHints(cc->program, cc->hints);
    }
    if (parsed.kind == CommandKind::Subst) {
      ParseReplacement(bytes + parsed.secondBegin, parsed.secondEnd - parsed.secondBegin,
                       cc->replacement);
    }
  }
  cc->groupCount = cc->program.groupCount;
  cc->groupStarts.assign(static_cast<std::size_t>(cc->groupCount) + 1, nullptr);
  cc->groupEnds.assign(static_cast<std::size_t>(cc->groupCount) + 1, nullptr);
  cc->groupStart = cc->groupStarts.data();
  cc->groupEnd = cc->groupEnds.data();
  return cc;
}

// The checks shared by both operations; returns the compiled command to use or null (-1).
CompiledCommand* Prepare(const char* command, const char* targetStart, const char* targetEnd,
                         RegexHandle** handle, char* message) {
  if (!handle) {
    SetMessage(message, "invalid handle parameter");
    return nullptr;
  }
  if (!targetStart || !targetEnd || targetStart >= targetEnd ||
      targetEnd - targetStart > INT32_MAX / 2) {
    SetMessage(message, "invalid target parameter");
    return nullptr;
  }
  if (!command || !*command) {
    if (!*handle) {
      SetMessage(message, "invalid reg parameter");
      return nullptr;
    }
    return static_cast<CompiledCommand*>(*handle);
  }
  if (*handle) {
    // One pass compares the text and finds its end: strncmp stops at the caller's NUL, and
    // the compiled copy holds none, so equal first bytes and a NUL after them mean equal.
    auto* old = static_cast<CompiledCommand*>(*handle);
    const std::size_t oldLength = old->commandText.size();
    if (old->kind != CommandKind::Translate &&
        std::strncmp(command, old->commandText.data(), oldLength) == 0 &&
        command[oldLength] == '\0') {
      return old;
    }
    RegexFree(*handle);
    *handle = nullptr;
  }
  const std::size_t length = std::strlen(command);
  std::unique_ptr<CompiledCommand> fresh = Compile(command, length, message);
  if (!fresh) return nullptr;
  *handle = fresh.release();
  return static_cast<CompiledCommand*>(*handle);
}

void ReleaseResult(CompiledCommand& cc) {
  cc.result.clear();
  cc.resultStart = nullptr;
  cc.resultEnd = nullptr;
}

// One search from the target start; copies group 1 into the result text.
int MatchOnce(CompiledCommand& cc, const char* targetStart, std::size_t length, char* message) {
  if (cc.kind == CommandKind::Translate || cc.pattern.empty()) return 0;
  std::uint64_t steps = 0;
  const SearchStatus status = SearchCommand(cc, targetStart, length, 0, 0, steps);
  if (status == SearchStatus::LimitOver) {
    SetMessage(message, kMatchLimitMessage);
    return -1;
  }
  if (status != SearchStatus::Match) return 0;
  if (cc.groupCount >= 1 && cc.groupStart[1] && cc.groupEnd[1] > cc.groupStart[1]) {
    try {
      cc.result.assign(cc.groupStart[1], cc.groupEnd[1]);
      cc.result.push_back('\0');
    } catch (const std::bad_alloc&) {
      ReleaseResult(cc);
      SetMessage(message, "match out of space");
      return -1;
    }
    cc.resultStart = cc.result.data();
    cc.resultEnd = cc.result.data() + cc.result.size() - 1;
  }
  return 1;
}

// What a call answers when memory runs out.
struct OutOfSpace {
  int result;
  const char* message;
};

// The frame both calls share: clears the message, compiles the command into the handle
// (or reuses it), drops the last result and hands the command to `run`.  A command that
// does not compile answers -1 with its message; running out of memory anywhere answers
// `outOfSpace`.
template <typename Run>
int WithPrepared(const char* command, const char* targetStart, const char* targetEnd,
                 RegexHandle** handle, char* message, OutOfSpace outOfSpace, Run run) {
  if (!message) return -1;
  message[0] = '\0';
  try {
    CompiledCommand* cc = Prepare(command, targetStart, targetEnd, handle, message);
    if (!cc) return -1;
    ReleaseResult(*cc);
    return run(*cc);
  } catch (...) {  // only allocation can fail here
    SetMessage(message, outOfSpace.message);
    return outOfSpace.result;
  }
}

}  // namespace

int RegexMatch(const char* command, const char* targetStart, const char* targetEnd,
               RegexHandle** handle, char* message) {
  const OutOfSpace outOfSpace{-1, "match out of space"};
  return WithPrepared(
      command, targetStart, targetEnd, handle, message, outOfSpace, [&](CompiledCommand& cc) {
        if (cc.kind == CommandKind::Subst) {
          RegexFree(*handle);
          *handle = nullptr;
          SetMessage(message, "call RegexSubst");
          return -1;
        }
        return MatchOnce(cc, targetStart, static_cast<std::size_t>(targetEnd - targetStart),
                         message);
      });
}

int RegexSubst(const char* command, const char* targetStart, const char* targetEnd,
               RegexHandle** handle, char* message) {
  const OutOfSpace outOfSpace{0, "out of space buf"};
  return WithPrepared(
      command, targetStart, targetEnd, handle, message, outOfSpace, [&](CompiledCommand& cc) {
        const std::size_t length = static_cast<std::size_t>(targetEnd - targetStart);
        if (cc.kind == CommandKind::Translate || cc.pattern.empty()) return -1;
        if (cc.kind == CommandKind::Match) return MatchOnce(cc, targetStart, length, message);
        std::uint64_t steps = 0;
        return RunSubstitution(cc, targetStart, length, message, steps);
      });
}

void RegexFree(RegexHandle* handle) {
  delete static_cast<CompiledCommand*>(handle);
}

}  // namespace yk
