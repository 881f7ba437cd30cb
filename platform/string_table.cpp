// The table behind SharedString.  A handle number is never reused: a copy of a string
// object whose entry was released reads as empty and, when written, takes a fresh entry —
// it can never read or overwrite the text of a string created later.
#include <mutex>
#include <string>
#include <unordered_map>

#include "common/plugin_interface.h"
#include "platform/handle_registry.h"

namespace {

struct StringTable {
  std::mutex mutex;
  std::unordered_map<uint32_t, std::u16string> texts;
};

StringTable& Table() {
  static StringTable table;
  return table;
}

}  // namespace

std::u16string SharedString::get() const {
  auto& t = Table();
  std::lock_guard lock(t.mutex);
  auto it = t.texts.find(handle);
  return it == t.texts.end() ? std::u16string() : it->second;
}

void SharedString::set(std::u16string_view text) {
  auto& t = Table();
  std::lock_guard lock(t.mutex);
  auto it = t.texts.find(handle);
  if (it == t.texts.end()) {
    handle = platform::NewHandle();
    it = t.texts.emplace(handle, std::u16string()).first;
  }
  it->second.assign(text);
}

void SharedString::clear() {
  auto& t = Table();
  std::lock_guard lock(t.mutex);
  auto it = t.texts.find(handle);
  if (it != t.texts.end()) it->second.clear();
}

bool SharedString::empty() const {
  return get().empty();
}

void SharedString::release() {
  auto& t = Table();
  std::lock_guard lock(t.mutex);
  t.texts.erase(handle);
  handle = 0;
}
