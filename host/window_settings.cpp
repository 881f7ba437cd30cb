// window_settings.cpp — reading and writing the window manager's settings.
#include "host/window_settings.h"

#include "platform/profile.h"
#include "platform/virtual_keys.h"

namespace yk {

namespace {
constexpr char16_t kSection[] = u"setting";
}  // namespace

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

WindowSettings ReadWindowSettings(platform::Handle app) {
  WindowSettings settings;
  platform::Profile* profile = platform::ProfileOf(app);
  if (profile == nullptr) return settings;
  settings.focusMode = profile->GetInt(kSection, u"focuswin", 1) != 0;
  settings.translucent = profile->GetInt(kSection, u"transwin", 0) != 0;
  settings.gridStep = GridStepFromStored(profile->GetInt(kSection, u"wingrid", kDefaultGridStep));
  settings.pluginButtonAction =
      profile->GetInt(kSection, u"plugtype", kPluginButtonDialog) == kPluginButtonNext
          ? kPluginButtonNext
          : kPluginButtonDialog;
  for (int i = 0; i < kHostKeyCount; ++i) {
    settings.keys[i] =
        platform::KeyCodeFromStored(profile->GetInt(kSection, kHostKeyValueNames[i], 0));
  }
  return settings;
}

void WriteWindowSettings(platform::Handle app, const WindowSettings& settings) {
  platform::Profile* profile = platform::ProfileOf(app);
  if (profile == nullptr) return;
  profile->WriteInt(kSection, u"focuswin", settings.focusMode ? 1 : 0);
  profile->WriteInt(kSection, u"transwin", settings.translucent ? 1 : 0);
  profile->WriteInt(kSection, u"wingrid", GridStepFromStored(settings.gridStep));
  profile->WriteInt(kSection, u"plugtype", settings.pluginButtonAction);
  for (int i = 0; i < kHostKeyCount; ++i) {
    profile->WriteInt(kSection, kHostKeyValueNames[i], settings.keys[i]);
  }
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
