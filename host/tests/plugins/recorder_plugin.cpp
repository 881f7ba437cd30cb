// recorder_plugin.cpp — a test plugin that logs every call it receives and answers as the
// test scripted.  Built several times under different names (RECORDER_NAME "A", "B", ...)
// and in variants that lack exports or refuse plg_init:
//   RECORDER_NO_VALID   no plg_valid        RECORDER_NO_INFO    no plg_info
//   RECORDER_INIT_ZERO  plg_init answers 0  RECORDER_NO_CONFIG  no plg_config / plg_keyconfig
#include <stdexcept>
#include <string>

#include "common/plugin_interface.h"
#include "host/tests/plugins/call_log.h"

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

const std::string kName = RECORDER_NAME;
#define RECORDER_WIDEN2(text) u##text
#define RECORDER_WIDEN(text) RECORDER_WIDEN2(text)
#ifndef RECORDER_NO_INFO
const char16_t kDisplayName[] = u"Recorder " RECORDER_WIDEN(RECORDER_NAME);
#endif

int Answer(const std::string& event, int fallback = 0) {
  const int answer = yk::testing::AnswerFor(kName + ":" + event, fallback);
  if (answer == yk::testing::kThrowAnswer) throw std::runtime_error("scripted failure");
  return answer;
}

int Record(const std::string& event, const std::string& args = "", int fallback = 0) {
  yk::testing::LogCall(kName + ":" + event + (args.empty() ? "" : " " + args));
  return Answer(event, fallback);
}

std::string Pair(int x, int y) {
  return std::to_string(x) + " " + std::to_string(y);
}

}  // namespace

#ifndef RECORDER_NO_VALID
EXPORT int32_t plg_valid() {
  return Record("valid", "", 7);
}
#endif

EXPORT int32_t plg_init(HostContext*, int32_t reserved, int32_t slot) {
  Record("init", std::to_string(reserved) + " " + std::to_string(slot));
#ifdef RECORDER_INIT_ZERO
  return 0;
#else
  return 1;
#endif
}

#ifndef RECORDER_NO_INFO
EXPORT const YkChar* plg_info() {
  Record("info");
  return kDisplayName;
}
#endif

EXPORT void plg_destroy() {
  Record("destroy");
}

EXPORT int32_t plg_notify(int32_t code) {
  // The answer may depend on the code: "A:notify 3" scripts the answer to code 3.
  yk::testing::LogCall(kName + ":notify " + std::to_string(code));
  return Answer("notify " + std::to_string(code));
}

EXPORT int32_t plg_mouse_down(int32_t x, int32_t y) {
  return Record("mouse_down", Pair(x, y));
}
EXPORT int32_t plg_mouse_doubledown(int32_t x, int32_t y) {
  return Record("mouse_doubledown", Pair(x, y));
}
EXPORT int32_t plg_mouse_move(int32_t x, int32_t y) {
  return Record("mouse_move", Pair(x, y));
}
EXPORT int32_t plg_mouse_up(int32_t x, int32_t y) {
  return Record("mouse_up", Pair(x, y));
}
EXPORT int32_t plg_key_down(int32_t key) {
  return Record("key_down", std::to_string(key));
}
EXPORT int32_t plg_key_up(int32_t key) {
  return Record("key_up", std::to_string(key));
}

#ifndef RECORDER_NO_CONFIG
EXPORT int32_t plg_config() {
  return Record("config");
}
// Three actions in groups 0, 2 and 3; the first bound to 'A'.  Filled at the first call
// and then kept, so the host's key dialog edits it in place as it would a real plugin's.
EXPORT KeyTable* plg_keyconfig() {
  static KeyTable keyTable;
  Record("keyconfig");
  if (keyTable.count == 0) {
    const struct {
      const char16_t* label;
      int32_t key, group;
    } actions[] = {{u"左", 65, 0}, {u"ジャンプ", 0, 2}, {u"決定", 0, 3}};
    for (const auto& action : actions) {
      KeyEntry& entry = keyTable.entries[keyTable.count++];
      entry.label.set(action.label);
      entry.key = action.key;
      entry.group = action.group;
    }
  }
  return &keyTable;
}
#endif

EXPORT float plg_version() {
  return 1.01f;
}
