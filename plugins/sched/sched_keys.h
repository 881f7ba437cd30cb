// sched_keys.h — the window's ten key actions and their codes in the profile.
//
// The key table lists the actions in this order (the host's key dialog shows them so);
// the codes are kept in the profile section "plugin_tavik_sched" as "key0".."key9"
// (0 = no key).
#pragma once

#include "common/plugin_interface.h"
#include "platform/profile.h"

namespace yk::sched {

enum KeyAction : int {
  kKeyPreviousDay = 0,
  kKeyNextDay = 1,
  kKeyPreviousWeek = 2,
  kKeyNextWeek = 3,
  kKeyPreviousMonth = 4,
  kKeyNextMonth = 5,
  kKeyScheduleTab = 6,
  kKeyWorkTab = 7,
  kKeyNewSchedule = 8,
  kKeySwitchTab = 9,
};
inline constexpr int kKeyActionCount = 10;

inline constexpr char16_t kProfileSection[] = u"plugin_tavik_sched";

// Writes the ten labels (group 0, key 0) and sets the count to 10.
void FillKeyLabels(KeyTable* table);

// Reads "key0".."key9" into the table's codes (default 0) / writes them back.
void LoadKeyCodes(platform::Profile& profile, KeyTable* table);
void SaveKeyCodes(platform::Profile& profile, const KeyTable& table);

// Frees the labels' shared strings.
void ReleaseKeyLabels(KeyTable* table);

// The first action among first..last whose code equals `key`, or -1.  A key of 0 (no
// key) never matches.
int FindKeyAction(const KeyTable& table, int key, int first, int last);

}  // namespace yk::sched
