// Perl-style regular-expression commands over byte strings in the Shift-JIS code page.
//
// A command is a whole string such as "m/pattern/km", "/pattern/", "s/pattern/replacement/gi"
// or "tr/a-z/A-Z/". The caller keeps one RegexHandle pointer per command (null at first); the
// engine compiles the command on the first call, stores the compiled form through that pointer
// and reuses it while the command text stays the same. RegexFree releases it.
//
// Option letters after the last delimiter: g (every match, for s), i (ASCII case-insensitive),
// m (^ and $ at line breaks), k (Shift-JIS double-byte characters are single characters),
// o (accepted), and for tr: c (accepted), d (delete unpaired characters), s (accepted).
//
// Every call first clears the message buffer; on an error it receives a NUL-terminated ASCII
// text of at most 32 bytes (empty for a pattern that does not compile).
#pragma once

#include <cstdint>

namespace yk {

// The caller-visible part of a compiled command. The engine owns every buffer it points to;
// they stay valid until the next call on the same handle or RegexFree.
struct RegexHandle {
  char* resultStart = nullptr;   // RegexSubst: rewritten text (NUL-terminated); RegexMatch: group 1
  char* resultEnd = nullptr;     // one past the last byte of that text
  int splitCount = 0;            // always 0: there is no split operation
  void* splitList = nullptr;     // always null
  int reserved = 0;              // free for the caller
  char* commandStart = nullptr;  // the engine's own copy of the command text
  char* commandEnd = nullptr;
  // tr commands: pairs (from, to) of 16-bit values, ended by (kTranslateEnd, kTranslateEnd);
  // a "to" of kTranslateDelete marks a character for deletion. Null for m and s commands.
  std::uint16_t* translateTable = nullptr;
  // groupCount + 1 entries each; index 0 is the whole match. Null when a group did not take
  // part. They always point into the caller's target.
  const char** groupStart = nullptr;
  const char** groupEnd = nullptr;
  int groupCount = 0;
};

inline constexpr std::uint16_t kTranslateEnd = 0xFFFF;
inline constexpr std::uint16_t kTranslateDelete = 0xFFFE;

// Searches [targetStart, targetEnd) once. Returns 1 when it matched, 0 when not, -1 on an
// error. On a match whose group 1 is not empty, resultStart/resultEnd hold a copy of group 1.
// An s command is refused with "call RegexSubst" and the handle released (set to null).
// A null or empty command reuses the compiled one.
int RegexMatch(const char* command, const char* targetStart, const char* targetEnd,
               RegexHandle** handle, char* message);

// For s commands: rewrites the target into resultStart/resultEnd and returns the number of
// substitutions (>= 1); 0 when nothing matched or the substitution failed (message set);
// -1 on a parameter or compile error, or for a tr command or an empty pattern.
// An m command behaves as RegexMatch.
int RegexSubst(const char* command, const char* targetStart, const char* targetEnd,
               RegexHandle** handle, char* message);

// Releases a compiled command and all its buffers. A null handle is ignored.
void RegexFree(RegexHandle* handle);

}  // namespace yk
