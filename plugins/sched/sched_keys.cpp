#include "plugins/sched/sched_keys.h"

#include <string>

#include "platform/virtual_keys.h"

namespace yk::sched {
namespace {

constexpr const char16_t* kKeyLabels[kKeyActionCount] = {
    u"前の日", u"次の日",       u"前の週", u"次の週", u"前の月",
    u"次の月", u"スケジュール", u"仕事",   u"新規",   u"切り替え"};

// "key%d"
std::u16string KeyValueName(int index) {
  std::u16string name = u"key";
  for (char c : std::to_string(index)) name.push_back(static_cast<char16_t>(c));
  return name;
}

}  // namespace

void FillKeyLabels(KeyTable* table) {
  for (int i = 0; i < kKeyActionCount; ++i) {
    table->entries[i].label.set(kKeyLabels[i]);
    table->entries[i].key = 0;
    table->entries[i].group = 0;
  }
  table->count = kKeyActionCount;
}

void LoadKeyCodes(platform::Profile& profile, KeyTable* table) {
  for (int i = 0; i < kKeyActionCount; ++i)
    table->entries[i].key =
        platform::KeyCodeFromStored(profile.GetInt(kProfileSection, KeyValueName(i), 0));
}

void SaveKeyCodes(platform::Profile& profile, const KeyTable& table) {
  for (int i = 0; i < kKeyActionCount; ++i)
    (void)profile.WriteInt(kProfileSection, KeyValueName(i), table.entries[i].key);
}

void ReleaseKeyLabels(KeyTable* table) {
  for (auto& entry : table->entries) entry.label.release();
}

int FindKeyAction(const KeyTable& table, int key, int first, int last) {
  if (key == 0) return -1;
  for (int i = first; i <= last && i < kKeyTableCapacity; ++i)
    if (table.entries[i].key == key) return i;
  return -1;
}

}  // namespace yk::sched
