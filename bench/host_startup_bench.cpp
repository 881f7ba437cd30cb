// Time from the host's start to its first composed frame: the Host context and every
// buffer allocated, the theme picture loaded, the settings read and one window opened and
// composed.  The reference allocates and fills the same buffers and nothing else, so the
// ratio of the two shows what start-up costs beyond its unavoidable memory work.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "host/host_session.h"
#include "host/view_port.h"
#include "platform/bmp_file.h"
#include "platform/profile.h"
#include "platform/text_codec.h"

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 800;
constexpr int kHeight = 600;

class CountingView : public yk::ViewPort {
 public:
  void Present(int, int, int, int) override { ++presents; }
  void CaptureStylus() override {}
  void ReleaseStylus() override {}
  void StartTimer(int, int) override {}
  void StopTimer(int) override {}
  int presents = 0;
};

// A program folder with a theme picture, made once.
const fs::path& ProgramFolder() {
  static const fs::path folder = [] {
    fs::path dir = fs::temp_directory_path() / "yk_startup_bench";
    fs::create_directories(dir / "data");
    std::vector<uint8_t> pixels(size_t(240) * 400 * 3, 128);
    auto bytes = platform::EncodeBmp24(240, 400, pixels.data());
    std::ofstream(dir / "data" / "tavik.dat", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return dir;
  }();
  return folder;
}

void BM_StartToFirstFrame(benchmark::State& state) {
  platform::Handle app = platform::RegisterApplication(std::make_unique<platform::MemoryProfile>());
  platform::ProfileOf(app)->WriteInt(yk::kSettingSection, u"firsttime", 1);
  const std::u16string appFolder = platform::Utf8ToUtf16(ProgramFolder().string() + "/");
  for (auto _ : state) {
    CountingView view;
    auto session = std::make_unique<yk::HostSession>(view);
    yk::HostSession::CreateParams params;
    params.clientWidth = kWidth;
    params.clientHeight = kHeight;
    params.appFolder = appFolder;
    params.app = app;
    if (!session->Create(params)) state.SkipWithError("start-up failed");
    yk::HostSession::Header header;
    header.clientWidth = kWidth;
    header.clientHeight = kHeight;
    if (!session->InitialUpdate(header) || view.presents == 0)
      state.SkipWithError("no frame composed");
    state.PauseTiming();
    session.reset();
    state.ResumeTiming();
  }
  platform::ReleaseApplication(app);
}
BENCHMARK(BM_StartToFirstFrame)->Unit(benchmark::kMillisecond);

// The seven screen-size buffers (composition, background, five windows) and the parts sheet,
// allocated and filled white.
void BM_ReferenceAllocateAndFillBuffers(benchmark::State& state) {
  const size_t screen = size_t(kWidth) * kHeight * 3;
  for (auto _ : state) {
    std::vector<std::vector<uint8_t>> buffers;
    buffers.emplace_back(size_t(240) * 400 * 3, 255);
    for (int i = 0; i < 7; ++i) buffers.emplace_back(screen, 255);
    benchmark::DoNotOptimize(buffers.back().data());
    state.PauseTiming();
    buffers.clear();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ReferenceAllocateAndFillBuffers)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication application(argc, argv);  // the title text is drawn with Qt
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
