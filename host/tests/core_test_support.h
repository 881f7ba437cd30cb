// core_test_support.h — a Host context with real buffers, a fake view and the core objects,
// for the tests of the plugin host, the window manager and the composer.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/bitmap_ops.h"
#include "common/plugin_interface.h"
#include "host/plugin_host.h"
#include "host/view_port.h"
#include "host/window_manager.h"
#include "platform/handles.h"
#include "platform/profile.h"
#include "platform/text_codec.h"

namespace yk::testing {

struct Presented {
  int x, y, w, h;
  bool operator==(const Presented&) const = default;
};

struct TitleCall {
  YkHandle dc;
  std::u16string text;
  int left, top, right, bottom;
  std::u16string face;
};

class FakeView : public ViewPort {
 public:
  void Present(int x, int y, int w, int h) override { presents.push_back({x, y, w, h}); }
  void CaptureStylus() override { ++captures; }
  void ReleaseStylus() override { ++releases; }
  void StartTimer(int id, int ms) override { timers[id] = ms; }
  void StopTimer(int id) override {
    timers.erase(id);
    stopped.push_back(id);
  }
  void DrawTitleText(YkHandle dc, std::u16string_view text, int left, int top, int right,
                     int bottom, std::u16string_view face) override {
    titles.push_back({dc, std::u16string(text), left, top, right, bottom, std::u16string(face)});
    if (drawTitles) ViewPort::DrawTitleText(dc, text, left, top, right, bottom, face);
  }

  bool drawTitles = false;  // also draw them for real (needs a QGuiApplication)

  std::vector<Presented> presents;
  std::map<int, int> timers;  // running timer id -> period
  std::vector<int> stopped;
  std::vector<TitleCall> titles;
  int captures = 0, releases = 0;
};

using Pixel = std::array<uint8_t, 3>;  // blue, green, red

inline Pixel PixelOf(const PixelBuffer& b, int x, int y) {
  const uint8_t* p = b.bits + (static_cast<long>(b.height - 1 - y) * b.width + x) * 3;
  return {p[0], p[1], p[2]};
}

inline void SetPixel(const PixelBuffer& b, int x, int y, Pixel v) {
  uint8_t* p = b.bits + (static_cast<long>(b.height - 1 - y) * b.width + x) * 3;
  p[0] = v[0];
  p[1] = v[1];
  p[2] = v[2];
}

// A pattern that differs in every byte of neighbouring pixels and between buffers.
inline Pixel Pattern(int seed, int x, int y) {
  return {uint8_t(x * 7 + y * 3 + seed * 50), uint8_t(x * 5 + y * 11 + seed * 90),
          uint8_t(x * 13 + y + seed * 30)};
}

inline void FillPattern(const PixelBuffer& b, int seed) {
  for (int y = 0; y < b.height; ++y) {
    for (int x = 0; x < b.width; ++x) SetPixel(b, x, y, Pattern(seed, x, y));
  }
}

// Path of a test plugin built beside the tests ("rec_a.plg", ...).
inline std::u16string TestPlugin(const std::string& file) {
  return platform::Utf8ToUtf16(std::string(YK_TEST_PLUGIN_DIR) + "/" + file);
}

class HostFixture {
 public:
  // A view of width x height; the grid areas use the default step 5.  `app` 0 registers a
  // fresh in-memory profile.
  explicit HostFixture(int width = 320, int height = 240, platform::Handle app = 0)
      : ctx(std::make_unique<HostContext>()) {
    HostContext& h = *ctx;
    h.bufferWidth = (width + 7) / 8 * 8;
    h.bufferHeight = height;
    h.clientWidth = width;
    h.clientHeight = height;
    h.gridWidth = width - width % kDefaultGridStep;
    h.gridHeight = height - height % kDefaultGridStep;
    h.bufferBytes = h.bufferWidth * h.bufferHeight * 3;
    h.partsBytes = kPartsBytes;
    MakeSurface(kPartsWidth, kPartsHeight, h.partsBitmap, h.partsBits, h.partsDC,
                h.partsPreviousBitmap);
    MakeSurface(h.bufferWidth, h.bufferHeight, h.screenBitmap, h.screenBits, h.screenDC,
                h.screenPreviousBitmap);
    MakeSurface(h.bufferWidth, h.bufferHeight, h.backBitmap, h.backBits, h.backDC,
                h.backPreviousBitmap);
    for (auto& slot : h.slots) {
      MakeSurface(h.bufferWidth, h.bufferHeight, slot.bitmap, slot.bits, slot.dc,
                  slot.previousBitmap);
    }
    FillPattern(PartsBuffer(h), 1);
    FillWhite(BackBuffer(h), 0, 0, h.bufferWidth, h.bufferHeight);
    FillWhite(ScreenBuffer(h), 0, 0, h.bufferWidth, h.bufferHeight);
    h.maximized = -1;
    h.active = -1;
    h.pressed = -1;
    h.fontName.set(u"TestFace");
    ownsApp = app == 0;
    h.app =
        ownsApp ? platform::RegisterApplication(std::make_unique<platform::MemoryProfile>()) : app;
    plugins = std::make_unique<PluginHost>(h, view);
    windows = std::make_unique<WindowManager>(h, view, *plugins);
  }

  ~HostFixture() {
    HostContext& h = *ctx;
    for (int p = 0; p < h.windowCount; ++p) plugins->UnloadPlugin(p, false);
    windows.reset();
    plugins.reset();
    FreeSurface(h.partsBitmap, h.partsDC);
    FreeSurface(h.screenBitmap, h.screenDC);
    FreeSurface(h.backBitmap, h.backDC);
    for (auto& slot : h.slots) {
      FreeSurface(slot.bitmap, slot.dc);
      slot.name.release();
      slot.path.release();
    }
    h.fontName.release();
    if (ownsApp) platform::ReleaseApplication(h.app);
  }

  HostFixture(const HostFixture&) = delete;
  HostFixture& operator=(const HostFixture&) = delete;

  platform::Profile& profile() { return *platform::ProfileOf(ctx->app); }
  PluginSlot& SlotAt(int p) { return ctx->slots[ctx->order[p]]; }
  PixelBuffer Screen() { return ScreenBuffer(*ctx); }
  PixelBuffer Back() { return BackBuffer(*ctx); }
  PixelBuffer Parts() { return PartsBuffer(*ctx); }
  PixelBuffer WindowBuffer(int p) { return SlotBuffer(*ctx, ctx->order[p]); }

  // Opens n windows and gives them the rectangles given (left, top, width, height).
  void OpenWindows(const std::vector<std::array<int, 4>>& rects) {
    for (const auto& r : rects) {
      const int p = windows->NewWindow();
      PluginSlot& s = SlotAt(p);
      s.left = r[0];
      s.top = r[1];
      s.width = r[2];
      s.height = r[3];
      s.right = r[0] + r[2];
      s.bottom = r[1] + r[3];
    }
  }

  std::vector<int> Order() const {
    return std::vector<int>(ctx->order, ctx->order + ctx->windowCount);
  }

  std::unique_ptr<HostContext> ctx;
  FakeView view;
  std::unique_ptr<PluginHost> plugins;
  std::unique_ptr<WindowManager> windows;
  bool ownsApp = true;

 private:
  static void MakeSurface(int w, int h, YkHandle& bitmap, YkHandle& bits, YkHandle& dc,
                          YkHandle& previous) {
    bitmap = platform::CreateSurfaceBitmap(w, h, &bits);
    dc = platform::CreateCompatibleDC();
    previous = platform::SelectBitmap(dc, bitmap);
  }
  static void FreeSurface(YkHandle bitmap, YkHandle dc) {
    platform::DeleteDC(dc);
    platform::DeleteBitmap(bitmap);
  }
};

}  // namespace yk::testing
