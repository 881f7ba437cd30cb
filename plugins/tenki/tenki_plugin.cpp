// tenki_plugin.cpp — the exports of tvk_tenki_hpc2karm.plg, the weather window.
//
// The module serves one window: its state lives in one instance created by plg_init and
// freed by plg_destroy.  Every export is noexcept and catches at its edge; a failure
// inside a call answers 0 (nothing to do).
#include <QApplication>
#include <memory>
#include <vector>

#include "common/bitmap_ops.h"
#include "platform/bmp_file.h"
#include "platform/message_box.h"
#include "platform/profile.h"
#include "plugins/tenki/area_dialog.h"
#include "plugins/tenki/download_dialog.h"
#include "plugins/tenki/image_text.h"
#include "plugins/tenki/tenki_view.h"

#define YK_EXPORT extern "C" __attribute__((visibility("default")))

namespace yk::tenki {
namespace {

constexpr float kInterfaceVersion = 1.01f;
constexpr char16_t kButtonsLoadFailed[] = u"dataファイルの読み込みに失敗しました";
constexpr char16_t kNoMemory[] = u"メモリの確保に失敗しました";
constexpr char kButtonsFile[] = "tvk_tenki.dat";

// The top-left 120 x 20 pixels of tvk_tenki.dat: the buttons' labels.
bool LoadButtons(const std::filesystem::path& file, std::vector<uint8_t>* pixels) {
  const platform::Handle loaded = platform::LoadBmpFile(file);
  const platform::Surface* picture = platform::SurfaceOf(loaded);
  if (picture != nullptr) {
    pixels->assign(size_t(kButtonsWidth) * kButtonsHeight * 3, 255);
    CopyRop({pixels->data(), kButtonsWidth, kButtonsHeight, int(pixels->size())}, 0, 0,
            kButtonsWidth, kButtonsHeight,
            {picture->bits, picture->width, picture->height, int(picture->byteSize)}, 0, 0,
            kSrcCopy);
  }
  platform::DeleteBitmap(loaded);
  return picture != nullptr;
}

class PluginHooks final : public TenkiHooks {
 public:
  explicit PluginHooks(const ImageCanvas* canvas) : canvas_(canvas) {}

  void DrawImageText(std::u16string_view text, int left, int top, int right, int bottom,
                     std::u16string_view face, int height) override {
    canvas_->Draw(text, left, top, right, bottom, face, height);
  }
  bool RunDownload(const DownloadSettings& settings) override {
    return RunDownloadDialog(settings, QApplication::activeWindow());
  }
  std::optional<AreaSelection> ChooseArea(const std::filesystem::path& listFile, int area,
                                          int city) override {
    return RunAreaDialog(listFile, area, city, QApplication::activeWindow());
  }

 private:
  const ImageCanvas* canvas_;
};

struct Instance {
  HostContext* host = nullptr;
  std::vector<uint8_t> buttons;
  std::unique_ptr<ImageCanvas> image;
  std::unique_ptr<PluginHooks> hooks;
  std::unique_ptr<TenkiView> view;
};

std::unique_ptr<Instance>& TheInstance() {
  static std::unique_ptr<Instance> instance;
  return instance;
}

TenkiView* View() {
  const auto& instance = TheInstance();
  return instance ? instance->view.get() : nullptr;
}

void Destroy() {
  auto& instance = TheInstance();
  if (!instance) return;
  if (instance->view) instance->view->Save(*platform::ProfileOf(instance->host->app));
  instance.reset();
}

int32_t Init(HostContext* host, int32_t slot) {
  Destroy();
  if (host == nullptr || slot < 0 || slot >= kMaxWindows) return 0;
  auto instance = std::make_unique<Instance>();
  instance->host = host;
  if (!LoadButtons(ContextFolder(host->appFolder) / "plugin" / kButtonsFile, &instance->buttons)) {
    platform::MessageBox(kButtonsLoadFailed);
    return 0;
  }
  instance->image = std::make_unique<ImageCanvas>(kImageWidth, kImageHeight);
  if (!instance->image->ok()) {
    platform::MessageBox(kNoMemory);
    return 0;
  }
  instance->hooks = std::make_unique<PluginHooks>(instance->image.get());
  const ConstPixelBuffer buttons(instance->buttons.data(), kButtonsWidth, kButtonsHeight,
                                 int(instance->buttons.size()));
  instance->view = std::make_unique<TenkiView>(host, slot, instance->image->buffer(), buttons,
                                               instance->hooks.get());
  instance->view->Load(*platform::ProfileOf(host->app));
  TheInstance() = std::move(instance);
  return 1;
}

template <typename Call>
int32_t Guarded(Call call) noexcept {
  try {
    TenkiView* view = View();
    return view != nullptr ? call(*view) : 0;
  } catch (...) {
    return 0;
  }
}

}  // namespace
}  // namespace yk::tenki

using yk::tenki::Guarded;
using yk::tenki::TenkiView;

YK_EXPORT int32_t plg_valid() noexcept {
  return 0;
}

YK_EXPORT int32_t plg_init(HostContext* host, int32_t /*reserved*/, int32_t slot) noexcept {
  try {
    return yk::tenki::Init(host, slot);
  } catch (...) {
    yk::tenki::TheInstance().reset();
    return 0;
  }
}

YK_EXPORT void plg_destroy() noexcept {
  try {
    yk::tenki::Destroy();
  } catch (...) {
    yk::tenki::TheInstance().release();  // leak rather than throw across the boundary
  }
}

YK_EXPORT const YkChar* plg_info() noexcept {
  return yk::tenki::kPluginName;
}

YK_EXPORT float plg_version() noexcept {
  return yk::tenki::kInterfaceVersion;
}

YK_EXPORT int32_t plg_notify(int32_t code) noexcept {
  return Guarded([&](TenkiView& v) { return v.Notify(code); });
}

YK_EXPORT int32_t plg_mouse_down(int32_t x, int32_t y) noexcept {
  return Guarded([&](TenkiView& v) { return v.MouseDown(x, y); });
}

YK_EXPORT int32_t plg_mouse_move(int32_t x, int32_t y) noexcept {
  return Guarded([&](TenkiView& v) { return v.MouseMove(x, y); });
}

YK_EXPORT int32_t plg_mouse_up(int32_t x, int32_t y) noexcept {
  return Guarded([&](TenkiView& v) { return v.MouseUp(x, y); });
}

YK_EXPORT int32_t plg_config() noexcept {
  return Guarded([&](TenkiView& v) { return v.Config(); });
}
