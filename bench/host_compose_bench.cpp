// Full recompose of an 800 x 600 view with five overlapping windows, normal and
// translucent, against memcpy of the same bytes (the view's whole buffer) in the same run;
// then the picture the view paints from it, at scale 1 and 2, against memcpy of the
// picture's bytes.
//
// Goals: normal within 3x of the memcpy, translucent within 6x: the "x_memcpy" counter of
// the two BM_Compose runs.  The view's picture within 3x at either scale (BM_ScreenImage).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "common/bitmap_ops.h"
#include "host/composer.h"
#include "host/screen_image.h"
#include "host/view_port.h"
#include "platform/handles.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr long kViewBytes = long(kWidth) * kHeight * 3;

class NullView : public yk::ViewPort {
 public:
  void Present(int, int, int, int) override {}
  void CaptureStylus() override {}
  void ReleaseStylus() override {}
  void StartTimer(int, int) override {}
  void StopTimer(int) override {}
};

struct Scene {
  Scene() : ctx(std::make_unique<HostContext>()) {
    HostContext& h = *ctx;
    h.bufferWidth = h.clientWidth = kWidth;
    h.bufferHeight = h.clientHeight = kHeight;
    h.bufferBytes = int(kViewBytes);
    h.screenBitmap = platform::CreateSurfaceBitmap(kWidth, kHeight, &h.screenBits);
    h.backBitmap = platform::CreateSurfaceBitmap(kWidth, kHeight, &h.backBits);
    yk::FillWhite(yk::BackBuffer(h), 0, 0, kWidth, kHeight);
    // Five overlapping windows, each a good part of the view, covering all of it together.
    const int rects[5][4] = {{0, 0, 480, 360},
                             {320, 0, 480, 360},
                             {0, 240, 480, 360},
                             {320, 240, 480, 360},
                             {160, 120, 480, 360}};
    h.windowCount = 5;
    h.maximized = -1;
    for (int i = 0; i < 5; ++i) {
      PluginSlot& s = h.slots[i];
      s.bitmap = platform::CreateSurfaceBitmap(kWidth, kHeight, &s.bits);
      yk::PixelBuffer b = yk::SlotBuffer(h, i);
      for (long k = 0; k < b.bytes; ++k) b.bits[k] = uint8_t(k * 7 + i * 31);
      s.left = rects[i][0];
      s.top = rects[i][1];
      s.width = rects[i][2];
      s.height = rects[i][3];
      s.right = s.left + s.width;
      s.bottom = s.top + s.height;
      s.inUse = 1;
      h.order[i] = i;
    }
  }
  ~Scene() {
    platform::DeleteBitmap(ctx->screenBitmap);
    platform::DeleteBitmap(ctx->backBitmap);
    for (auto& s : ctx->slots) platform::DeleteBitmap(s.bitmap);
  }
  std::unique_ptr<HostContext> ctx;
};

void BM_Memcpy(benchmark::State& state) {
  std::vector<uint8_t> src(kViewBytes, 1), dst(kViewBytes);
  for (auto _ : state) {
    std::memcpy(dst.data(), src.data(), kViewBytes);
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kViewBytes);
}

// Seconds taken by one memcpy of `bytes` (the view's) between two buffers kept for the run.
struct MemcpyReference {
  explicit MemcpyReference(long bytes = kViewBytes)
      : src(size_t(bytes), 1), dst(size_t(bytes), 2) {}
  std::vector<uint8_t> src, dst;
  double Seconds() {
    const auto start = std::chrono::steady_clock::now();
    std::memcpy(dst.data(), src.data(), src.size());
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
};

// The counter "x_memcpy" is the time of one full recompose divided by the time of one
// memcpy of the view's bytes, the two measured alternately in the same run.
void BM_Compose(benchmark::State& state) {
  Scene scene;
  NullView view;
  yk::Composer composer(*scene.ctx, view);
  composer.SetTranslucent(state.range(0) != 0);
  MemcpyReference reference;
  double composeSeconds = 0, memcpySeconds = 0;
  long rounds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    composer.Compose(0, 0, -1, -1, true);
    benchmark::ClobberMemory();
    composeSeconds +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.PauseTiming();
    memcpySeconds += reference.Seconds();
    ++rounds;
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * kViewBytes);
  state.SetLabel(state.range(0) ? "translucent" : "normal");
  if (rounds > 0 && memcpySeconds > 0) state.counters["x_memcpy"] = composeSeconds / memcpySeconds;
}

// The translucent per-byte loop alone over the view's bytes.
void BM_TranslucentLoop(benchmark::State& state) {
  std::vector<uint8_t> dst(kViewBytes, 200), src(kViewBytes, 100);
  for (auto _ : state) {
    yk::LightenMultiply(dst.data(), src.data(), int(kViewBytes));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kViewBytes);
}

// The picture the view paints of the whole composition buffer at the scale state.range(0):
// "x_memcpy" against one memcpy of the picture's bytes, measured alternately.
void BM_ScreenImage(benchmark::State& state) {
  Scene scene;
  const int factor = int(state.range(0));
  const yk::ConstPixelBuffer screen = yk::SlotBuffer(*scene.ctx, 0);
  MemcpyReference reference(kViewBytes * factor * factor);
  double imageSeconds = 0, memcpySeconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    QImage image = yk::ScreenImage(screen, 0, 0, kWidth, kHeight, factor);
    benchmark::DoNotOptimize(image.constBits());
    imageSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.PauseTiming();
    memcpySeconds += reference.Seconds();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * kViewBytes * factor * factor);
  if (memcpySeconds > 0) state.counters["x_memcpy"] = imageSeconds / memcpySeconds;
}

BENCHMARK(BM_Memcpy);
BENCHMARK(BM_ScreenImage)->Arg(1)->Arg(2);
BENCHMARK(BM_Compose)->Arg(0)->Arg(1);
BENCHMARK(BM_TranslucentLoop);

}  // namespace

BENCHMARK_MAIN();
