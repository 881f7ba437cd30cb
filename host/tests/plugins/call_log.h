// call_log.h — the shared record of calls made into the test plugins.
//
// A small shared library that every test plugin and the test binary link, so that the
// calls of several plugins land in one ordered log the test reads, and so that the test
// can script what each plugin answers.  Entries look like "A:notify 3".
#pragma once

#include <string>
#include <vector>

#define YK_CALL_LOG_API __attribute__((visibility("default")))

namespace yk::testing {

// An answer that makes the plugin throw instead of answering.
inline constexpr int kThrowAnswer = -12345;

YK_CALL_LOG_API void LogCall(const std::string& entry);
// Returns the entries logged so far and empties the log.
YK_CALL_LOG_API std::vector<std::string> TakeCalls();

// What the plugin answers to `key` (e.g. "A:notify 3", "B:mouse_down"); `fallback` when
// nothing is scripted.  Scripted answers stay until ClearAnswers.
YK_CALL_LOG_API void SetAnswer(const std::string& key, int answer);
YK_CALL_LOG_API int AnswerFor(const std::string& key, int fallback);
YK_CALL_LOG_API void ClearAnswers();

}  // namespace yk::testing
