// The schedule window's full redraw (toolbar, header with a holiday, 20 entries with their
// glyph lines and texts, composing into the window) against one copy of an 800 x 600
// 24-bit buffer, the size the host recomposes on a full screen.  Both are measured in the
// same run; the counter "per_screen_copy" is the redraw's time in screen copies.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <chrono>
#include <cstring>
#include <vector>

#include "plugins/sched/canvas_text.h"
#include "plugins/sched/sched_view.h"
#include "plugins/sched/tests/sched_test_host.h"

namespace {

using yk::sched::testing::Line;
using yk::sched::testing::TestHost;

constexpr int kScreenWidth = 800, kScreenHeight = 600;
constexpr size_t kScreenBytes = size_t(kScreenWidth) * kScreenHeight * 3;

class CanvasHooks final : public yk::sched::SchedHooks {
 public:
  CanvasHooks(const yk::sched::CanvasSurface* canvas, bool drawText)
      : canvas_(canvas), drawText_(drawText) {}
  int MeasureTextHeight(std::u16string_view text, std::u16string_view face, int height,
                        int width) override {
    return drawText_ ? yk::sched::CanvasSurface::MeasureHeight(text, face, height, width) : 14;
  }
  void DrawCanvasText(std::u16string_view text, yk::sched::Rect clip, std::u16string_view face,
                      int height, uint32_t colour) override {
    if (drawText_) canvas_->Draw(text, clip, face, height, colour);
  }
  bool EditNewSchedule(int, int, int) override { return false; }
  bool EditSchedule(const yk::DayEntry&) override { return false; }

 private:
  const yk::sched::CanvasSurface* canvas_;
  bool drawText_;
};

double SecondsPerScreenCopy() {
  std::vector<uint8_t> from(kScreenBytes, 0x5A), to(kScreenBytes);
  constexpr int kRounds = 200;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kRounds; ++i) {
    std::memcpy(to.data(), from.data(), kScreenBytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / kRounds;
}

void BM_ScreenCopy(benchmark::State& state) {
  std::vector<uint8_t> from(kScreenBytes, 0x5A), to(kScreenBytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), kScreenBytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kScreenBytes));
}
BENCHMARK(BM_ScreenCopy);

// Text drawn by the platform, or (drawText false) measured as 14 rows and not drawn, to
// tell the window's own work from the font machinery's.
void FullRedraw(benchmark::State& state, bool drawText) {
  TestHost host(kScreenWidth, kScreenHeight, 244, 400);
  std::vector<std::u16string> lines;
  for (int i = 0; i < 20; ++i)
    lines.push_back(Line(2004, 5, 7, 8 + i / 4, (i % 4) * 15, 2004, 5, 7, 9 + i / 4, 0, -1,
                         u"打ち合わせ__TVRET__第二会議室 " + std::u16string(1, u'A' + i)));
  host.WriteDataFile("2004/5/7/sched.txt", lines);
  host.WriteDataFile("2004holiday.txt", {u"(00,00 00,00)(05,07,-1,01,記念日)"});
  host.WriteDayColours(2004, 5, std::vector<int32_t>(31, 4));

  yk::sched::CanvasSurface canvas(yk::sched::CanvasWidth(kScreenWidth), yk::sched::kCanvasHeight);
  CanvasHooks hooks(&canvas, drawText);
  yk::sched::SchedView view(host.ctx(), 0, canvas.buffer(), host.skin(), &hooks);
  view.Notify(kNotifyRedraw);
  if (view.listedCount() != 20) state.SkipWithError("the day does not list 20 entries");

  double redrawSeconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    view.Notify(kNotifyRedraw);
    redrawSeconds +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  const double perRedraw = redrawSeconds / double(state.iterations());
  state.counters["per_screen_copy"] = perRedraw / SecondsPerScreenCopy();
}
BENCHMARK_CAPTURE(FullRedraw, twenty_entries_and_holiday, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FullRedraw, without_text, false)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
