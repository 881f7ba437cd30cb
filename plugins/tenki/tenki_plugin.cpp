// tenki_plugin.cpp — the exports of tvk_tenki_hpc2karm.plg, the weather window
// (common/plugin_exports.h: one module per window, every export catching at its edge).
#include <memory>

#include "common/dialog_parent.h"
#include "common/host_folders.h"
#include "common/plugin_exports.h"
#include "common/plugin_picture.h"
#include "platform/message_box.h"
#include "platform/profile.h"
#include "plugins/tenki/area_dialog.h"
#include "plugins/tenki/download_dialog.h"
#include "plugins/tenki/image_text.h"
#include "plugins/tenki/tenki_view.h"

namespace yk::tenki {
namespace {

constexpr float kInterfaceVersion = 1.01f;
constexpr char16_t kButtonsLoadFailed[] = u"dataファイルの読み込みに失敗しました";
constexpr char16_t kNoMemory[] = u"メモリの確保に失敗しました";
constexpr char kButtonsFile[] = "tvk_tenki.dat";

class PluginHooks final : public TenkiHooks {
 public:
  PluginHooks(const HostContext* host, const ImageCanvas* canvas) : host_(host), canvas_(canvas) {}

  void DrawImageText(std::u16string_view text, int left, int top, int right, int bottom,
                     std::u16string_view face, int height) override {
    canvas_->Draw(text, left, top, right, bottom, face, height);
  }
  bool RunDownload(const DownloadSettings& settings) override {
    return RunDownloadDialog(settings, OrganizerMainWindow(host_));
  }
  std::optional<AreaSelection> ChooseArea(const std::filesystem::path& listFile, int area,
                                          int city) override {
    return RunAreaDialog(listFile, area, city, OrganizerMainWindow(host_));
  }

 private:
  const HostContext* host_;
  const ImageCanvas* canvas_;
};

// The window's state: its buttons, image, hooks and view.
class Module {
 public:
  static std::unique_ptr<Module> Create(HostContext* host, int32_t slot) {
    auto module = std::make_unique<Module>(host);
    if (!module->buttons_.Load(AppFolderPath(*host) / "plugin" / kButtonsFile)) {
      platform::MessageBox(kButtonsLoadFailed);
      return nullptr;
    }
    module->image_ = std::make_unique<ImageCanvas>(kImageWidth, kImageHeight);
    if (!module->image_->ok()) {
      platform::MessageBox(kNoMemory);
      return nullptr;
    }
    module->hooks_ = std::make_unique<PluginHooks>(host, module->image_.get());
    module->view_ = std::make_unique<TenkiView>(host, slot, module->image_->buffer(),
                                                module->buttons_.buffer(), module->hooks_.get());
    module->view_->Load(*platform::ProfileOf(host->app));
    return module;
  }

  explicit Module(HostContext* host) : host_(host) {}
  TenkiView& window() { return *view_; }
  void Save() { view_->Save(*platform::ProfileOf(host_->app)); }

 private:
  HostContext* host_;
  // The top-left 120 x 20 pixels of tvk_tenki.dat: the buttons' labels.
  PluginPicture buttons_{kButtonsWidth, kButtonsHeight};
  std::unique_ptr<ImageCanvas> image_;
  std::unique_ptr<PluginHooks> hooks_;
  std::unique_ptr<TenkiView> view_;
};

}  // namespace
}  // namespace yk::tenki

using Exports = yk::PluginExports<yk::tenki::Module>;
using yk::tenki::TenkiView;

YK_PLUGIN_MODULE_EXPORTS(yk::tenki::Module, yk::tenki::kPluginName, yk::tenki::kInterfaceVersion)

YK_EXPORT int32_t plg_notify(int32_t code) noexcept {
  return Exports::Guarded([&](TenkiView& v) { return v.Notify(code); });
}

YK_EXPORT int32_t plg_mouse_down(int32_t x, int32_t y) noexcept {
  return Exports::Guarded([&](TenkiView& v) { return v.MouseDown(x, y); });
}

YK_EXPORT int32_t plg_mouse_move(int32_t x, int32_t y) noexcept {
  return Exports::Guarded([&](TenkiView& v) { return v.MouseMove(x, y); });
}

YK_EXPORT int32_t plg_mouse_up(int32_t x, int32_t y) noexcept {
  return Exports::Guarded([&](TenkiView& v) { return v.MouseUp(x, y); });
}

YK_EXPORT int32_t plg_config() noexcept {
  return Exports::Guarded([&](TenkiView& v) { return v.Config(); });
}
