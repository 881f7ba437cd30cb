// search_plugin.cpp — the exports of tvk_search_hpc2karm.plg, the search-and-replace window
// (common/plugin_exports.h: one module per window, every export catching at its edge).
#include <memory>

#include "common/dialog_parent.h"
#include "common/host_folders.h"
#include "common/plugin_exports.h"
#include "common/plugin_picture.h"
#include "platform/message_box.h"
#include "platform/profile.h"
#include "plugins/search/search_dialog.h"
#include "plugins/search/search_window.h"

namespace yk::search {
namespace {

constexpr float kInterfaceVersion = 1.0f;
constexpr char16_t kPictureLoadFailed[] = u"dataファイルの読み込みに失敗しました";
constexpr char kPictureFile[] = "plugin/tvk_search.dat";

class DialogHooks final : public SearchWindowHooks {
 public:
  explicit DialogHooks(HostContext* host) : host_(host) {}
  SearchOutcome RunSearchDialog() override {
    return search::RunSearchDialog(host_, OrganizerMainWindow(host_));
  }

 private:
  HostContext* host_;
};

// The window's state: its picture, dialog hooks and window.
class Module {
 public:
  static std::unique_ptr<Module> Create(HostContext* host, int32_t slot) {
    auto module = std::make_unique<Module>(host);
    if (!module->picture_.Load(AppFolderPath(*host) / kPictureFile, kPictureFileWidth,
                               kPictureFileHeight)) {
      platform::MessageBox(kPictureLoadFailed);
      return nullptr;
    }
    module->hooks_ = std::make_unique<DialogHooks>(host);
    module->window_ =
        std::make_unique<SearchWindow>(host, slot, module->picture_.buffer(), module->hooks_.get());
    module->window_->LoadKeyCode(*platform::ProfileOf(host->app));
    return module;
  }

  explicit Module(HostContext* host) : host_(host) {}
  SearchWindow& window() { return *window_; }
  void Save() { window_->SaveKeyCode(*platform::ProfileOf(host_->app)); }

 private:
  HostContext* host_;
  // tvk_search.dat's 170 x 150 at the top left of 176 x 152.
  PluginPicture picture_{kPictureWidth, kPictureHeight};
  std::unique_ptr<DialogHooks> hooks_;
  std::unique_ptr<SearchWindow> window_;
};

}  // namespace
}  // namespace yk::search

using Exports = yk::PluginExports<yk::search::Module>;
using yk::search::SearchWindow;

YK_PLUGIN_MODULE_EXPORTS(yk::search::Module, yk::search::kPluginName.data(),
                         yk::search::kInterfaceVersion)

YK_EXPORT int32_t plg_notify(int32_t code) noexcept {
  return Exports::Guarded([&](SearchWindow& w) { return w.Notify(code); });
}

YK_EXPORT int32_t plg_mouse_down(int32_t /*x*/, int32_t /*y*/) noexcept {
  return 0;
}

YK_EXPORT int32_t plg_mouse_doubledown(int32_t x, int32_t y) noexcept {
  return Exports::Guarded([&](SearchWindow& w) { return w.MouseDoubleDown(x, y); });
}

YK_EXPORT int32_t plg_mouse_move(int32_t /*x*/, int32_t /*y*/) noexcept {
  return 0;
}

YK_EXPORT int32_t plg_mouse_up(int32_t x, int32_t y) noexcept {
  return Exports::Guarded([&](SearchWindow& w) { return w.MouseUp(x, y); });
}

YK_EXPORT int32_t plg_key_down(int32_t /*key*/) noexcept {
  return 0;
}

YK_EXPORT int32_t plg_key_up(int32_t key) noexcept {
  return Exports::Guarded([&](SearchWindow& w) { return w.KeyUp(key); });
}

YK_EXPORT KeyTable* plg_keyconfig() noexcept {
  return Exports::Keys();
}
