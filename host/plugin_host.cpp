// plugin_host.cpp — loading plugins, calling their exports and applying their requests.
#include "host/plugin_host.h"

#include <algorithm>
#include <filesystem>

#include "host/view_port.h"
#include "host/window_manager.h"
#include "host/window_positions.h"
#include "platform/dynamic_library.h"
#include "platform/message_box.h"
#include "platform/text_codec.h"

namespace yk {

namespace {

// A display name longer than this is cut: plg_info hands us a bare pointer, and a plugin
// that forgets the terminator must not make the host read on without end.
constexpr size_t kMaxNameUnits = 1024;

// Calls a plugin export; an exception the plugin lets out counts as the answer 0.
template <typename Result, typename Function, typename... Args>
Result Guarded(Function function, Args... args) {
  try {
    return function(args...);
  } catch (...) {
    return Result{};
  }
}

template <typename Function>
void GuardedVoid(Function function) {
  try {
    function();
  } catch (...) {
  }
}

std::u16string BoundedName(const YkChar* text) {
  std::u16string name;
  if (text == nullptr) return name;
  for (size_t i = 0; i < kMaxNameUnits && text[i] != 0; ++i) name.push_back(text[i]);
  return name;
}

bool IsBroadcastAnswerCode(int code) {
  return code == kNotifyTick || code == kNotifyDateChanged || code == kNotifyDataChanged;
}

}  // namespace

PluginHost::PluginHost(HostContext& host, ViewPort& view) : host_(host), view_(view) {}

int PluginHost::SlotIndexAt(int p) const {
  return host_.order[p];
}

bool PluginHost::IsLoaded(int p) const {
  const PluginSlot* slot = SlotAt(host_, p);
  return slot != nullptr && slot->loaded != 0;
}

void* PluginHost::Export(int p, const char* name) const {
  const PluginSlot* slot = SlotAt(host_, p);
  if (slot == nullptr || !slot->loaded) return nullptr;
  return platform::FindExport(slot->module, name);
}

bool PluginHost::LoadPlugin(int p, std::u16string_view path, bool redraw) {
  PluginSlot* slot = SlotAt(host_, p);
  if (slot == nullptr) return false;
  if (slot->loaded) UnloadPlugin(p, /*redraw=*/false);
  if (path.empty()) return false;

  const platform::Handle module =
      platform::LoadModule(std::filesystem::path(platform::Utf16ToUtf8(path)));
  auto fail = [&] {
    if (module != 0) platform::FreeModule(module);
    platform::MessageBox(kPluginLoadFailedText);
    return false;
  };
  if (module == 0) return fail();

  auto valid = platform::FindExportAs<plg_valid_fn>(module, "plg_valid");
  if (valid == nullptr) return fail();
  slot->validResult = Guarded<int32_t>(valid);

  auto info = platform::FindExportAs<plg_info_fn>(module, "plg_info");
  auto init = platform::FindExportAs<plg_init_fn>(module, "plg_init");
  if (info == nullptr || init == nullptr) return fail();
  // A library is loaded once per process: one already running in another window would be
  // taken over by a second plg_init, and ended for both windows by either plg_destroy.
  for (int q = 0; q < host_.windowCount; ++q) {
    if (q != p && Export(q, "plg_init") == reinterpret_cast<void*>(init)) return fail();
  }
  if (Guarded<int32_t>(init, &host_, int32_t{kPluginInitReserved}, int32_t(SlotIndexAt(p))) == 0) {
    return fail();
  }

  const std::u16string name = BoundedName(Guarded<const YkChar*>(info));
  slot->name.set(name.empty() ? std::u16string_view(kEmptyWindowName) : name);
  slot->path.set(path);
  slot->module = module;
  slot->loaded = 1;
  if (redraw && windows_ != nullptr) {
    windows_->RenderWindow(p, /*clear=*/true, /*notify=*/true, /*live=*/false);
    windows_->PresentWindow(p);
  }
  return true;
}

void PluginHost::UnloadPlugin(int p, bool redraw) {
  PluginSlot* slot = SlotAt(host_, p);
  if (slot == nullptr || !slot->loaded) return;
  if (slot->timerOn) {
    view_.StopTimer(kPluginTimerBase + SlotIndexAt(p));
    slot->timerOn = 0;
  }
  if (auto destroy = reinterpret_cast<plg_destroy_fn>(Export(p, "plg_destroy"))) {
    GuardedVoid(destroy);
  }
  platform::FreeModule(slot->module);
  slot->module = 0;
  slot->loaded = 0;
  slot->path.clear();
  slot->name.set(kEmptyWindowName);
  if (redraw && windows_ != nullptr) {
    windows_->RenderWindow(p, /*clear=*/false, /*notify=*/false, /*live=*/false);
    windows_->PresentWindow(p);
  }
}

void PluginHost::SendNotify(int p, int code) {
  auto notify = reinterpret_cast<plg_notify_fn>(Export(p, "plg_notify"));
  if (notify == nullptr) return;
  const int32_t answer = Guarded<int32_t>(notify, int32_t(code));
  if (IsBroadcastAnswerCode(code)) ApplyRequest(p, answer);
}

void PluginHost::BroadcastNotify(int code) {
  const uint32_t bit = (code >= 0 && code < 32) ? (1u << code) : 0u;
  // A plugin answering a broadcast with the same broadcast would otherwise recurse until
  // the stack runs out; the inner broadcast adds nothing, every window is already told.
  if ((broadcasting_ & bit) != 0) return;
  broadcasting_ |= bit;
  for (int p = host_.windowCount - 1; p >= 0; --p) SendNotify(p, code);
  broadcasting_ &= ~bit;
}

void PluginHost::ApplyRequest(int p, int request) {
  if (!ValidPosition(host_, p)) return;
  switch (request) {
    case kRequestRepaint:
      if (windows_ == nullptr) return;
      windows_->RenderWindow(p, /*clear=*/false, /*notify=*/false, /*live=*/false);
      windows_->PresentWindow(p);
      return;
    case kRequestRepaintRect:
      ApplyRectRequest(p, /*withChrome=*/true);
      return;
    case kRequestBroadcastDate:
      BroadcastNotify(kNotifyDateChanged);
      return;
    case kRequestBroadcastData:
      BroadcastNotify(kNotifyDataChanged);
      return;
    case kRequestPresentRect:
      ApplyRectRequest(p, /*withChrome=*/false);
      return;
    default:
      return;
  }
}

void PluginHost::ApplyRectRequest(int p, bool withChrome) {
  if (windows_ == nullptr) return;
  const PluginSlot& slot = *SlotAt(host_, p);
  if (withChrome) {
    windows_->RenderChromePart(p, host_.updateLeft, host_.updateTop, host_.updateRight,
                               host_.updateBottom);
  }
  // The rectangle comes from the plugin: cut to the window, so that garbage can neither
  // overflow the arithmetic below nor reach past the window.
  const bool maximized = p == host_.maximized;
  const int width = maximized ? host_.clientWidth : slot.width;
  const int height = maximized ? host_.clientHeight : slot.height;
  const int left = std::clamp<int>(host_.updateLeft, 0, std::max(width, 0));
  const int top = std::clamp<int>(host_.updateTop, 0, std::max(height, 0));
  const int right = std::clamp<int>(host_.updateRight, left, std::max(width, left));
  const int bottom = std::clamp<int>(host_.updateBottom, top, std::max(height, top));
  const int x = slot.left + left;
  const int y = slot.top + top;
  const int w = right - left;
  const int h = bottom - top;
  if (windows_->settings().translucent) {
    // Composing a translucent window over the screen as it stands would blend it over its
    // own earlier picture; the rectangle is built up again from the background instead.
    windows_->Compose(x, y, w, h, /*full=*/true);
    return;
  }
  windows_->MarkWindows(x, y, x + w, y + h);
  windows_->DropHidden();
  if (slot.dirty) windows_->Compose(x, y, w, h, /*full=*/false);
}

void PluginHost::HandleRequestMessage() {
  const int p = host_.requestWindow;
  const int code = host_.requestCode;
  if (code != kRequestTimer) {
    if (code == kRequestRepaint || code == kRequestRepaintRect || code == kRequestBroadcastDate ||
        code == kRequestBroadcastData || code == kRequestPresentRect) {
      ApplyRequest(p, code);
    }
    return;
  }
  if (p < 0 || p >= kMaxWindows) return;
  if (host_.timerInterval == 0) {
    view_.StopTimer(kPluginTimerBase + p);
  } else if (host_.timerInterval > 0 && ValidPosition(host_, p)) {
    view_.StartTimer(kPluginTimerBase + p, host_.timerInterval);
  }
}

void PluginHost::HandleTimer(int id) {
  if (id < kPluginTimerBase) return;
  const int p = id - kPluginTimerBase;
  if (p >= kMaxWindows) {
    view_.StopTimer(id);
    return;
  }
  const int slotIndex = host_.order[p];
  if (slotIndex < 0 || slotIndex >= kMaxWindows || !host_.slots[slotIndex].inUse) return;
  if (p < host_.windowCount) {
    SendNotify(p, kNotifyTick);
  } else {
    view_.StopTimer(id);
  }
}

void PluginHost::MouseDown(int p, int x, int y) {
  if (auto f = reinterpret_cast<plg_mouse_fn>(Export(p, "plg_mouse_down"))) {
    ApplyRequest(p, Guarded<int32_t>(f, int32_t(x), int32_t(y)));
  }
}

void PluginHost::MouseDoubleDown(int p, int x, int y) {
  if (auto f = reinterpret_cast<plg_mouse_fn>(Export(p, "plg_mouse_doubledown"))) {
    ApplyRequest(p, Guarded<int32_t>(f, int32_t(x), int32_t(y)));
  }
}

void PluginHost::MouseMove(int p, int x, int y) {
  if (auto f = reinterpret_cast<plg_mouse_fn>(Export(p, "plg_mouse_move"))) {
    ApplyRequest(p, Guarded<int32_t>(f, int32_t(x), int32_t(y)));
  }
}

void PluginHost::MouseUp(int p, int x, int y) {
  if (auto f = reinterpret_cast<plg_mouse_fn>(Export(p, "plg_mouse_up"))) {
    ApplyRequest(p, Guarded<int32_t>(f, int32_t(x), int32_t(y)));
  }
}

void PluginHost::KeyDown(int p, int key) {
  if (auto f = reinterpret_cast<plg_key_fn>(Export(p, "plg_key_down"))) {
    ApplyRequest(p, Guarded<int32_t>(f, int32_t(key)));
  }
}

void PluginHost::KeyUp(int p, int key) {
  if (auto f = reinterpret_cast<plg_key_fn>(Export(p, "plg_key_up"))) {
    ApplyRequest(p, Guarded<int32_t>(f, int32_t(key)));
  }
}

void PluginHost::ConfigureActivePlugin() {
  const int p = host_.active;
  if (!IsLoaded(p)) return;
  auto config = reinterpret_cast<plg_config_fn>(Export(p, "plg_config"));
  if (config == nullptr) {
    platform::MessageBox(kNoPluginSettingsText);
    return;
  }
  ApplyRequest(p, Guarded<int32_t>(config));
}

void PluginHost::ConfigureActivePluginKeys() {
  const int p = host_.active;
  if (!IsLoaded(p)) return;
  auto keyConfig = reinterpret_cast<plg_keyconfig_fn>(Export(p, "plg_keyconfig"));
  if (keyConfig == nullptr) {
    platform::MessageBox(kNoPluginKeySettingsText);
    return;
  }
  KeyTable* table = Guarded<KeyTable*>(keyConfig);
  if (table != nullptr && runKeyAssignment_) runKeyAssignment_(*table);
}

}  // namespace yk
