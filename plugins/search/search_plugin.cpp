// search_plugin.cpp — the exports of tvk_search_hpc2karm.plg, the search-and-replace window.
//
// The module serves one window: its state lives in one instance created by plg_init and
// freed by plg_destroy.  Every export is noexcept and catches at its edge; a failure
// inside a call answers 0 (nothing to do).
#include <QApplication>
#include <memory>
#include <vector>

#include "common/bitmap_ops.h"
#include "platform/bmp_file.h"
#include "platform/handles.h"
#include "platform/message_box.h"
#include "platform/profile.h"
#include "plugins/search/search_dialog.h"
#include "plugins/search/search_window.h"

#define YK_EXPORT extern "C" __attribute__((visibility("default")))

namespace yk::search {
namespace {

constexpr float kInterfaceVersion = 1.0f;
constexpr char16_t kPictureLoadFailed[] = u"dataファイルの読み込みに失敗しました";
constexpr char kPictureFile[] = "plugin/tvk_search.dat";

class DialogHooks final : public SearchWindowHooks {
 public:
  explicit DialogHooks(HostContext* host) : host_(host) {}
  SearchOutcome RunSearchDialog() override {
    return search::RunSearchDialog(host_, QApplication::activeWindow());
  }

 private:
  HostContext* host_;
};

// The window's picture: tvk_search.dat's 170 x 150 at the top left of 176 x 152.
class Picture {
 public:
  bool Load(const std::filesystem::path& file) {
    const platform::Handle loaded = platform::LoadBmpFile(file);
    if (loaded == 0) return false;
    bool ok = false;
    if (const platform::Surface* source = platform::SurfaceOf(loaded)) {
      pixels_.assign(std::size_t(kPictureWidth) * kPictureHeight * 3, 255);
      CopyRop(buffer(), 0, 0, kPictureFileWidth, kPictureFileHeight,
              ConstPixelBuffer(source->bits, source->width, source->height, int(source->byteSize)),
              0, 0, kSrcCopy);
      ok = true;
    }
    platform::DeleteBitmap(loaded);
    return ok;
  }
  PixelBuffer buffer() {
    return {pixels_.data(), kPictureWidth, kPictureHeight, int(pixels_.size())};
  }

 private:
  std::vector<uint8_t> pixels_;
};

struct Instance {
  HostContext* host = nullptr;
  Picture picture;
  std::unique_ptr<DialogHooks> hooks;
  std::unique_ptr<SearchWindow> window;
};

std::unique_ptr<Instance>& TheInstance() {
  static std::unique_ptr<Instance> instance;
  return instance;
}

SearchWindow* Window() {
  const auto& instance = TheInstance();
  return instance ? instance->window.get() : nullptr;
}

void Destroy() {
  auto& instance = TheInstance();
  if (!instance) return;
  if (instance->window) instance->window->SaveKeyCode(*platform::ProfileOf(instance->host->app));
  instance.reset();
}

int32_t Init(HostContext* host, int32_t slot) {
  Destroy();
  if (host == nullptr || slot < 0 || slot >= kMaxWindows) return 0;
  auto instance = std::make_unique<Instance>();
  instance->host = host;
  if (!instance->picture.Load(HostFolder(host->appFolder) / kPictureFile)) {
    platform::MessageBox(kPictureLoadFailed);
    return 0;
  }
  instance->hooks = std::make_unique<DialogHooks>(host);
  instance->window =
      std::make_unique<SearchWindow>(host, slot, instance->picture.buffer(), instance->hooks.get());
  instance->window->LoadKeyCode(*platform::ProfileOf(host->app));
  TheInstance() = std::move(instance);
  return 1;
}

template <typename Call>
int32_t Guarded(Call call) noexcept {
  try {
    SearchWindow* window = Window();
    return window != nullptr ? call(*window) : 0;
  } catch (...) {
    return 0;
  }
}

}  // namespace
}  // namespace yk::search

using yk::search::Guarded;
using yk::search::SearchWindow;

YK_EXPORT int32_t plg_valid() noexcept {
  return 0;
}

YK_EXPORT int32_t plg_init(HostContext* host, int32_t /*reserved*/, int32_t slot) noexcept {
  try {
    return yk::search::Init(host, slot);
  } catch (...) {
    yk::search::TheInstance().reset();
    return 0;
  }
}

YK_EXPORT void plg_destroy() noexcept {
  try {
    yk::search::Destroy();
  } catch (...) {
    yk::search::TheInstance().release();  // leak rather than throw across the boundary
  }
}

YK_EXPORT const YkChar* plg_info() noexcept {
  return yk::search::kPluginName.data();
}

YK_EXPORT float plg_version() noexcept {
  return yk::search::kInterfaceVersion;
}

YK_EXPORT int32_t plg_notify(int32_t code) noexcept {
  return Guarded([&](SearchWindow& w) { return w.Notify(code); });
}

YK_EXPORT int32_t plg_mouse_down(int32_t /*x*/, int32_t /*y*/) noexcept {
  return 0;
}

YK_EXPORT int32_t plg_mouse_doubledown(int32_t x, int32_t y) noexcept {
  return Guarded([&](SearchWindow& w) { return w.MouseDoubleDown(x, y); });
}

YK_EXPORT int32_t plg_mouse_move(int32_t /*x*/, int32_t /*y*/) noexcept {
  return 0;
}

YK_EXPORT int32_t plg_mouse_up(int32_t x, int32_t y) noexcept {
  return Guarded([&](SearchWindow& w) { return w.MouseUp(x, y); });
}

YK_EXPORT int32_t plg_key_down(int32_t /*key*/) noexcept {
  return 0;
}

YK_EXPORT int32_t plg_key_up(int32_t key) noexcept {
  return Guarded([&](SearchWindow& w) { return w.KeyUp(key); });
}

YK_EXPORT KeyTable* plg_keyconfig() noexcept {
  SearchWindow* window = yk::search::Window();
  return window != nullptr ? window->keys() : nullptr;
}
