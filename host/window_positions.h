// window_positions.h — windows by their position in the stacking order.
//
// Position p (0 = bottom, windowCount - 1 = top) names the slot order[p] of the Host
// context.  The plugin host, the window manager and the plugin selection all address
// windows this way, and every operation ignores a position that is not valid.  The Host
// context is memory the plugins write to as well, so the order entry is checked too.
#pragma once

#include "common/plugin_interface.h"

namespace yk {

// True for a position 0 <= p < windowCount whose order entry names one of the five slots.
[[nodiscard]] inline bool ValidPosition(const HostContext& host, int p) {
  return p >= 0 && p < host.windowCount && p < kMaxWindows && host.order[p] >= 0 &&
         host.order[p] < kMaxWindows;
}

// The slot of the window at p; nullptr for a position that is not valid.
[[nodiscard]] inline PluginSlot* SlotAt(HostContext& host, int p) {
  return ValidPosition(host, p) ? &host.slots[host.order[p]] : nullptr;
}
[[nodiscard]] inline const PluginSlot* SlotAt(const HostContext& host, int p) {
  return ValidPosition(host, p) ? &host.slots[host.order[p]] : nullptr;
}

}  // namespace yk
