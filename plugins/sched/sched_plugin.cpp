// sched_plugin.cpp — the exports of tvk_sched_hpc2karm.plg, the schedule window
// (common/plugin_exports.h: one module per window, every export catching at its edge).
#include <filesystem>
#include <memory>
#include <string>

#include "common/dialog_parent.h"
#include "common/host_folders.h"
#include "common/plugin_exports.h"
#include "common/plugin_picture.h"
#include "common/schedule_dialog.h"
#include "platform/message_box.h"
#include "platform/profile.h"
#include "plugins/sched/canvas_text.h"
#include "plugins/sched/sched_keys.h"
#include "plugins/sched/sched_view.h"
#include "plugins/sched/skin_cells.h"

namespace yk::sched {
namespace {

constexpr char16_t kPluginName[] = u"スケジュール";
constexpr float kInterfaceVersion = 1.01f;
constexpr char16_t kSkinLoadFailed[] = u"dataファイルの読み込みに失敗しました";
constexpr char16_t kNoMemory[] = u"メモリの確保に失敗しました";
constexpr char kSkinFile[] = "plugin/tvk_sched.dat";

// The platform's text and the edit dialog, bound to one canvas.
class PluginHooks final : public SchedHooks {
 public:
  PluginHooks(HostContext* host, const CanvasSurface* canvas) : host_(host), canvas_(canvas) {}

  int MeasureTextHeight(std::u16string_view text, std::u16string_view face, int fontHeight,
                        int width) override {
    return CanvasSurface::MeasureHeight(text, face, fontHeight, width);
  }
  void DrawCanvasText(std::u16string_view text, Rect clip, std::u16string_view face, int fontHeight,
                      uint32_t colour) override {
    canvas_->Draw(text, clip, face, fontHeight, colour);
  }
  bool EditNewSchedule(int year, int month, int day) override {
    return yk::EditNewSchedule(host_, year, month, day, ScheduleDialogVariant::kSchedulePlugin,
                               OrganizerMainWindow(host_));
  }
  bool EditSchedule(const DayEntry& entry) override {
    return yk::EditExistingSchedule(host_, entry.record, ScheduleDialogVariant::kSchedulePlugin,
                                    OrganizerMainWindow(host_));
  }

 private:
  HostContext* host_;
  const CanvasSurface* canvas_;
};

// The window's state: its skin, canvas, hooks and view.
class Module {
 public:
  static std::unique_ptr<Module> Create(HostContext* host, int32_t slot) {
    auto module = std::make_unique<Module>(host);
    if (!module->skin_.Load(AppFolderPath(*host) / kSkinFile)) {
      platform::MessageBox(kSkinLoadFailed);
      return nullptr;
    }
    module->canvas_ =
        std::make_unique<CanvasSurface>(CanvasWidth(host->bufferWidth), kCanvasHeight);
    if (!module->canvas_->ok()) {
      platform::MessageBox(kNoMemory);
      return nullptr;
    }
    module->hooks_ = std::make_unique<PluginHooks>(host, module->canvas_.get());
    module->view_ = std::make_unique<SchedView>(host, slot, module->canvas_->buffer(),
                                                module->skin_.buffer(), module->hooks_.get());
    LoadKeyCodes(*platform::ProfileOf(host->app), module->view_->keys());
    return module;
  }

  explicit Module(HostContext* host) : host_(host) {}
  SchedView& window() { return *view_; }
  void Save() { SaveKeyCodes(*platform::ProfileOf(host_->app), *view_->keys()); }

 private:
  HostContext* host_;
  // The 160 x 100 skin, copied out of tvk_sched.dat.
  PluginPicture skin_{kSkinWidth, kSkinHeight};
  std::unique_ptr<CanvasSurface> canvas_;
  std::unique_ptr<PluginHooks> hooks_;
  std::unique_ptr<SchedView> view_;
};

}  // namespace
}  // namespace yk::sched

using Exports = yk::PluginExports<yk::sched::Module>;
using yk::sched::SchedView;

YK_PLUGIN_MODULE_EXPORTS(yk::sched::Module, yk::sched::kPluginName, yk::sched::kInterfaceVersion)

YK_EXPORT int32_t plg_notify(int32_t code) noexcept {
  return Exports::Guarded([&](SchedView& v) { return v.Notify(code); });
}

YK_EXPORT int32_t plg_mouse_down(int32_t x, int32_t y) noexcept {
  return Exports::Guarded([&](SchedView& v) { return v.MouseDown(x, y); });
}

YK_EXPORT int32_t plg_mouse_doubledown(int32_t x, int32_t y) noexcept {
  return Exports::Guarded([&](SchedView& v) { return v.MouseDoubleDown(x, y); });
}

YK_EXPORT int32_t plg_mouse_move(int32_t x, int32_t y) noexcept {
  return Exports::Guarded([&](SchedView& v) { return v.MouseMove(x, y); });
}

YK_EXPORT int32_t plg_mouse_up(int32_t x, int32_t y) noexcept {
  return Exports::Guarded([&](SchedView& v) { return v.MouseUp(x, y); });
}

YK_EXPORT int32_t plg_key_down(int32_t key) noexcept {
  return Exports::Guarded([&](SchedView& v) { return v.KeyDown(key); });
}

YK_EXPORT int32_t plg_key_up(int32_t key) noexcept {
  return Exports::Guarded([&](SchedView& v) { return v.KeyUp(key); });
}

YK_EXPORT KeyTable* plg_keyconfig() noexcept {
  return Exports::Keys();
}
