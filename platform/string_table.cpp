// The table behind SharedString: handles are 1-based indexes; a freed entry is reused.
#include <string>
#include <vector>

#include "common/plugin_interface.h"

namespace {

struct StringTable {
  std::vector<std::u16string> texts{std::u16string()};  // entry 0 is never handed out
  std::vector<uint32_t> freeList;
};

StringTable& Table() {
  static StringTable table;
  return table;
}

}  // namespace

std::u16string SharedString::get() const {
  const auto& t = Table();
  return handle < t.texts.size() ? t.texts[handle] : std::u16string();
}

void SharedString::set(std::u16string_view text) {
  auto& t = Table();
  if (handle == 0 || handle >= t.texts.size()) {
    if (!t.freeList.empty()) {
      handle = t.freeList.back();
      t.freeList.pop_back();
    } else {
      handle = static_cast<uint32_t>(t.texts.size());
      t.texts.emplace_back();
    }
  }
  t.texts[handle].assign(text);
}

void SharedString::clear() {
  auto& t = Table();
  if (handle != 0 && handle < t.texts.size()) t.texts[handle].clear();
}

bool SharedString::empty() const {
  return get().empty();
}

void SharedString::release() {
  auto& t = Table();
  if (handle != 0 && handle < t.texts.size()) {
    t.texts[handle].clear();
    t.freeList.push_back(handle);
  }
  handle = 0;
}
