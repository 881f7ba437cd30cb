// key_table_support.h — a Key table as a plugin or the host hands it to the key
// assignment dialog: labelled entries with their keys and groups; the labels are freed
// at the end.
#pragma once

#include <initializer_list>
#include <tuple>
#include <vector>

#include "common/plugin_interface.h"

namespace yk::testing {

struct LabelledKeyTable {
  // {label, key, group} per entry, in order.
  LabelledKeyTable(std::initializer_list<std::tuple<const char16_t*, int, int>> entries) {
    for (const auto& [label, key, group] : entries) {
      KeyEntry& entry = table.entries[table.count++];
      entry.label.set(label);
      entry.key = key;
      entry.group = group;
    }
  }
  ~LabelledKeyTable() {
    for (KeyEntry& entry : table.entries) entry.label.release();
  }
  std::vector<int> Keys() const {
    std::vector<int> keys;
    for (int i = 0; i < table.count; ++i) keys.push_back(table.entries[i].key);
    return keys;
  }
  KeyTable table{};
};

}  // namespace yk::testing
