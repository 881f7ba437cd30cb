// window_settings.cpp — the host keys and the grid step of the window manager's settings.
#include "host/window_settings.h"

namespace yk {

bool WindowSettings::IsHostKey(int key) const {
  if (key == 0) return false;
  for (int bound : keys) {
    if (bound == key) return true;
  }
  return false;
}

int GridStepFromStored(int stored) {
  return (stored < kMinGridStep || stored > kMaxGridStep) ? kDefaultGridStep : stored;
}

void FillHostKeyTable(const WindowSettings& settings, KeyTable& table) {
  table = KeyTable{};
  for (int i = 0; i < kHostKeyCount; ++i) {
    table.entries[i].label.set(kHostKeyLabels[i]);
    table.entries[i].key = settings.keys[i];
    table.entries[i].group = 0;
  }
  table.count = kHostKeyCount;
}

void TakeHostKeys(const KeyTable& table, WindowSettings& settings) {
  if (table.count != kHostKeyCount) return;
  for (int i = 0; i < kHostKeyCount; ++i) settings.keys[i] = table.entries[i].key;
}

void ReleaseHostKeyTable(KeyTable& table) {
  for (auto& entry : table.entries) entry.label.release();
  table.count = 0;
}

}  // namespace yk
