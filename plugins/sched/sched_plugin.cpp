// sched_plugin.cpp — the exports of tvk_sched_hpc2karm.plg, the schedule window.
//
// The module serves one window: its state lives in one instance created by plg_init and
// freed by plg_destroy.  Every export is noexcept and catches at its edge; a failure
// inside a call answers 0 (nothing to do).
#include <filesystem>
#include <memory>
#include <string>

#include "common/bitmap_ops.h"
#include "common/dialog_parent.h"
#include "common/schedule_dialog.h"
#include "platform/bmp_file.h"
#include "platform/handles.h"
#include "platform/message_box.h"
#include "platform/profile.h"
#include "plugins/sched/canvas_text.h"
#include "plugins/sched/sched_keys.h"
#include "plugins/sched/sched_view.h"
#include "plugins/sched/skin_cells.h"

#define YK_EXPORT extern "C" __attribute__((visibility("default")))

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

// The 160 x 100 skin, copied out of tvk_sched.dat.
class Skin {
 public:
  bool Load(const std::filesystem::path& file) {
    platform::Handle loadedBits = 0;
    const platform::Handle loaded = platform::LoadBmpFile(file, &loadedBits);
    if (loaded == 0) return false;
    bool ok = false;
    if (const platform::Surface* picture = platform::SurfaceOf(loaded)) {
      pixels_.assign(size_t(kSkinWidth) * kSkinHeight * 3, 255);
      const PixelBuffer skin{pixels_.data(), kSkinWidth, kSkinHeight, int(pixels_.size())};
      const ConstPixelBuffer source(picture->bits, picture->width, picture->height,
                                    int(picture->byteSize));
      CopyRop(skin, 0, 0, kSkinWidth, kSkinHeight, source, 0, 0, kSrcCopy);
      ok = true;
    }
    platform::DeleteBitmap(loaded);
    return ok;
  }
  ConstPixelBuffer buffer() const {
    return {pixels_.data(), kSkinWidth, kSkinHeight, int(pixels_.size())};
  }

 private:
  std::vector<uint8_t> pixels_;
};

struct Instance {
  HostContext* host = nullptr;
  Skin skin;
  std::unique_ptr<CanvasSurface> canvas;
  std::unique_ptr<PluginHooks> hooks;
  std::unique_ptr<SchedView> view;
};

std::unique_ptr<Instance>& TheInstance() {
  static std::unique_ptr<Instance> instance;
  return instance;
}

SchedView* View() {
  const auto& instance = TheInstance();
  return instance ? instance->view.get() : nullptr;
}

void Destroy() {
  auto& instance = TheInstance();
  if (!instance) return;
  if (instance->view)
    SaveKeyCodes(*platform::ProfileOf(instance->host->app), *instance->view->keys());
  instance.reset();
}

int32_t Init(HostContext* host, int32_t slot) {
  Destroy();
  if (host == nullptr || slot < 0 || slot >= kMaxWindows) return 0;
  auto instance = std::make_unique<Instance>();
  instance->host = host;
  if (!instance->skin.Load(HostFolder(host->appFolder) / kSkinFile)) {
    platform::MessageBox(kSkinLoadFailed);
    return 0;
  }
  instance->canvas = std::make_unique<CanvasSurface>(CanvasWidth(host->bufferWidth), kCanvasHeight);
  if (!instance->canvas->ok()) {
    platform::MessageBox(kNoMemory);
    return 0;
  }
  instance->hooks = std::make_unique<PluginHooks>(host, instance->canvas.get());
  instance->view = std::make_unique<SchedView>(host, slot, instance->canvas->buffer(),
                                               instance->skin.buffer(), instance->hooks.get());
  LoadKeyCodes(*platform::ProfileOf(host->app), instance->view->keys());
  TheInstance() = std::move(instance);
  return 1;
}

template <typename Call>
int32_t Guarded(Call call) noexcept {
  try {
    SchedView* view = View();
    return view != nullptr ? call(*view) : 0;
  } catch (...) {
    return 0;
  }
}

}  // namespace
}  // namespace yk::sched

using yk::sched::Guarded;
using yk::sched::SchedView;

YK_EXPORT int32_t plg_valid() noexcept {
  return 0;
}

YK_EXPORT int32_t plg_init(HostContext* host, int32_t /*reserved*/, int32_t slot) noexcept {
  try {
    return yk::sched::Init(host, slot);
  } catch (...) {
    yk::sched::TheInstance().reset();
    return 0;
  }
}

YK_EXPORT void plg_destroy() noexcept {
  try {
    yk::sched::Destroy();
  } catch (...) {
    yk::sched::TheInstance().release();  // leak rather than throw across the boundary
  }
}

YK_EXPORT const YkChar* plg_info() noexcept {
  return yk::sched::kPluginName;
}

YK_EXPORT float plg_version() noexcept {
  return yk::sched::kInterfaceVersion;
}

YK_EXPORT int32_t plg_notify(int32_t code) noexcept {
  return Guarded([&](SchedView& v) { return v.Notify(code); });
}

YK_EXPORT int32_t plg_mouse_down(int32_t x, int32_t y) noexcept {
  return Guarded([&](SchedView& v) { return v.MouseDown(x, y); });
}

YK_EXPORT int32_t plg_mouse_doubledown(int32_t x, int32_t y) noexcept {
  return Guarded([&](SchedView& v) { return v.MouseDoubleDown(x, y); });
}

YK_EXPORT int32_t plg_mouse_move(int32_t x, int32_t y) noexcept {
  return Guarded([&](SchedView& v) { return v.MouseMove(x, y); });
}

YK_EXPORT int32_t plg_mouse_up(int32_t x, int32_t y) noexcept {
  return Guarded([&](SchedView& v) { return v.MouseUp(x, y); });
}

YK_EXPORT int32_t plg_key_down(int32_t key) noexcept {
  return Guarded([&](SchedView& v) { return v.KeyDown(key); });
}

YK_EXPORT int32_t plg_key_up(int32_t key) noexcept {
  return Guarded([&](SchedView& v) { return v.KeyUp(key); });
}

YK_EXPORT KeyTable* plg_keyconfig() noexcept {
  SchedView* view = yk::sched::View();
  return view != nullptr ? view->keys() : nullptr;
}
