#include "host/plugin_selection.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "host/plugin_host.h"
#include "host/window_manager.h"
#include "host/window_positions.h"
#include "platform/text_codec.h"

namespace yk {

std::u16string QuickPluginPath(const HostContext& host, const QuickPlugin& quick) {
  return platform::Utf8ToUtf16(PluginFolder(host).string()) + std::u16string(quick.file);
}

bool QuickPluginInstalled(const HostContext& host, int command) {
  for (const QuickPlugin& quick : kQuickPlugins) {
    if (quick.command != command) continue;
    std::error_code error;
    return std::filesystem::is_regular_file(
        std::filesystem::path(platform::Utf16ToUtf8(QuickPluginPath(host, quick))), error);
  }
  return false;
}

std::u16string NextPlugin(const HostContext& host, const std::u16string& previous) {
  const std::vector<PluginCandidate> candidates = ScanPlugins(host);
  if (candidates.empty()) return previous;
  const size_t n = candidates.size();
  for (size_t k = 0; k < n; ++k) {
    if (SamePluginPath(candidates[k].path, previous)) return candidates[(k + 1) % n].path;
  }
  return candidates.front().path;
}

PluginSelection::PluginSelection(HostContext& host, PluginHost& plugins, WindowManager& windows,
                                 SelectionDialogRunner runDialog)
    : host_(host), plugins_(plugins), windows_(windows), runDialog_(std::move(runDialog)) {}

void PluginSelection::SelectPlugin(int p, int mode) {
  const PluginSlot* slot = SlotAt(host_, p);
  if (slot == nullptr) return;
  std::u16string previous;
  if (plugins_.IsLoaded(p)) {
    previous = slot->path.get();
    plugins_.UnloadPlugin(p, /*redraw=*/false);
  }
  if (mode == -1) mode = windows_.settings().pluginButtonAction;

  bool loaded = false;
  if (mode != 0) {
    loaded = plugins_.LoadPlugin(p, NextPlugin(host_, previous), /*redraw=*/true);
  } else {
    const PluginChoice choice = runDialog_ ? runDialog_(host_) : PluginChoice{};
    if (choice.accepted) {
      if (choice.index >= 0) loaded = plugins_.LoadPlugin(p, choice.path, /*redraw=*/true);
    } else if (!previous.empty()) {
      loaded = plugins_.LoadPlugin(p, previous, /*redraw=*/true);
    }
  }
  // A window left empty must not keep showing the content and title of the plugin it had.
  if (!loaded && p < host_.windowCount) {
    windows_.RenderWindow(p, /*clear=*/true, /*notify=*/false, /*live=*/false);
    windows_.PresentWindow(p);
  }
}

void PluginSelection::OpenQuickPlugin(std::u16string_view name, std::u16string_view path) {
  int found = -1;
  for (int p = host_.windowCount - 1; p >= 0 && found < 0; --p) {
    const PluginSlot* slot = SlotAt(host_, p);
    if (slot != nullptr && slot->inUse == 1 && slot->name.get() == name) found = p;
  }

  if (found >= 0) {
    if (host_.maximized >= 0 && host_.maximized != found) {
      windows_.ToggleMaximize(host_.maximized, /*recompose=*/false);
    }
    const int top = host_.windowCount - 1;
    windows_.MovePosition(found, top);
    host_.active = top;
    for (int p = 0; p < host_.windowCount; ++p) windows_.RenderWindow(p, false, false, false);
    // The window that is already maximised is restored by this: the command toggles.
    windows_.ToggleMaximize(top, /*recompose=*/true);
    return;
  }

  const int created = windows_.NewWindow();
  if (created < 0) return;
  if (!plugins_.LoadPlugin(created, path, /*redraw=*/true)) {
    windows_.CloseWindow(created);
    return;
  }
  if (host_.maximized >= 0) windows_.ToggleMaximize(host_.maximized, /*recompose=*/false);
  // The window active until now shows the title of the others from here on.
  const int previous = host_.active;
  host_.active = created;
  if (previous != created) windows_.RenderWindow(previous, false, false, false);
  windows_.ToggleMaximize(created, /*recompose=*/true);
}

bool PluginSelection::RunQuickCommand(int command) {
  for (const QuickPlugin& quick : kQuickPlugins) {
    if (quick.command != command) continue;
    OpenQuickPlugin(quick.name, QuickPluginPath(host_, quick));
    return true;
  }
  return false;
}

}  // namespace yk
