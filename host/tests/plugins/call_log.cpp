// call_log.cpp — one log and one answer script for the whole test process.
#include "host/tests/plugins/call_log.h"

#include <map>

namespace yk::testing {

namespace {
std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}
std::map<std::string, int>& Answers() {
  static std::map<std::string, int> answers;
  return answers;
}
}  // namespace

void LogCall(const std::string& entry) {
  Log().push_back(entry);
}

std::vector<std::string> TakeCalls() {
  std::vector<std::string> out;
  out.swap(Log());
  return out;
}

void SetAnswer(const std::string& key, int answer) {
  Answers()[key] = answer;
}

int AnswerFor(const std::string& key, int fallback) {
  auto it = Answers().find(key);
  return it == Answers().end() ? fallback : it->second;
}

void ClearAnswers() {
  Answers().clear();
}

}  // namespace yk::testing
