// Schedule store speed: collecting one date whose four files hold a full cache's worth of
// records (950), cold and warm, loading a level against reading the same bytes with a
// plain std::ifstream, and the look for a move intent that precedes every read.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <time.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "common/schedule_store.h"
#include "common/utf16_line_file.h"

namespace {

// A data folder in the temporary folder with the four files of 7 May 2004 filled to their
// capacities; every record falls on that date.
class Fixture {
 public:
  Fixture() {
    std::string pattern = (std::filesystem::temp_directory_path() / "yk-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    folder_ = std::filesystem::path(pattern) / "";
    Fill(yk::SpanLevel::Years, 300, u"(2003,01,01,09,00 2005,12,31,18,00 -1)(");
    Fill(yk::SpanLevel::Months, 300, u"(2004,01,01,09,00 2004,12,31,18,00 -2)(");
    Fill(yk::SpanLevel::Days, 300, u"(2004,05,01,09,00 2004,05,31,18,00 -1)(");
    Fill(yk::SpanLevel::Day, 50, u"(2004,05,07,09,00 2004,05,07,18,00 -1)(");
  }
  ~Fixture() {
    std::error_code error;
    std::filesystem::remove_all(folder_, error);
  }
  const std::filesystem::path& folder() const { return folder_; }
  std::filesystem::path RootFile() const {
    return yk::ScheduleFilePath(folder_, yk::SpanLevel::Years, 0, 0, 0);
  }

 private:
  void Fill(yk::SpanLevel level, int count, std::u16string_view head) {
    auto path = yk::ScheduleFilePath(folder_, level, 2004, 5, 7);
    std::filesystem::create_directories(path.parent_path());
    std::string bytes;
    for (int i = 0; i < count; ++i) {
      std::u16string text = u"打ち合わせ__TVRET__会議室" + std::u16string(20 + i % 40, u'x');
      bytes += yk::EncodeUtf16Line(std::u16string(head) + text + u")");
    }
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
  }
  std::filesystem::path folder_;
};

Fixture& Data() {
  static Fixture fixture;
  return fixture;
}

void BM_CollectDayCold(benchmark::State& state) {
  auto store = std::make_unique<ScheduleStore>();
  yk::DayScheduleList list;
  for (auto _ : state) {
    yk::ClearScheduleStore(store.get());
    yk::CollectDaySchedules(Data().folder(), 2004, 5, 7, 5, store.get(), &list);
    benchmark::DoNotOptimize(list.total);
  }
  if (list.total != 950) state.SkipWithError("expected 950 records on the date");
}
BENCHMARK(BM_CollectDayCold)->Unit(benchmark::kMicrosecond);

void BM_CollectDayWarm(benchmark::State& state) {
  auto store = std::make_unique<ScheduleStore>();
  yk::DayScheduleList list;
  yk::CollectDaySchedules(Data().folder(), 2004, 5, 7, 5, store.get(), &list);
  for (auto _ : state) {
    yk::CollectDaySchedules(Data().folder(), 2004, 5, 7, 5, store.get(), &list);
    benchmark::DoNotOptimize(list.total);
  }
  if (list.total != 950) state.SkipWithError("expected 950 records on the date");
}
BENCHMARK(BM_CollectDayWarm)->Unit(benchmark::kMicrosecond);

// Reference: the root file's bytes read whole with std::ifstream, in one read.
void BM_ReadBytesIfstream(benchmark::State& state) {
  auto path = Data().RootFile();
  std::size_t size = std::filesystem::file_size(path);
  for (auto _ : state) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(bytes.data(), std::streamsize(bytes.size()));
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(size));
}
BENCHMARK(BM_ReadBytesIfstream)->Unit(benchmark::kMicrosecond);

// The same file read, split and parsed into the cache.
void BM_LoadLevel(benchmark::State& state) {
  auto store = std::make_unique<ScheduleStore>();
  std::size_t size = std::filesystem::file_size(Data().RootFile());
  for (auto _ : state) {
    yk::LoadLevel(yk::SpanLevel::Years, 0, 0, 0, Data().folder(), store.get());
    benchmark::DoNotOptimize(store->counts[0]);
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(size));
  if (store->counts[0] != 300) state.SkipWithError("expected 300 records");
}
BENCHMARK(BM_LoadLevel)->Unit(benchmark::kMicrosecond);

// What every level read costs before it reads, when no move was cut short by a crash:
// looking for the move intent, one stat.
void BM_SettleWithoutIntent(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(yk::SettleScheduleMove(Data().folder()));
  }
  if (yk::SettleScheduleMove(Data().folder()) != yk::MoveSettlement::kNone) {
    state.SkipWithError("expected no move intent");
  }
}
BENCHMARK(BM_SettleWithoutIntent)->Unit(benchmark::kMicrosecond);

// CPU time of this thread, kernel time included (the machine may be shared, so wall time
// says little).
double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// Both in turn on the same file, each timed on its own: the counter "ratio" is LoadLevel's
// CPU time over the plain read's (goal: at most 2).
void BM_LoadLevelOverIfstream(benchmark::State& state) {
  auto store = std::make_unique<ScheduleStore>();
  auto path = Data().RootFile();
  double load = 0, read = 0;
  for (auto _ : state) {
    double t0 = ThreadSeconds();
    yk::LoadLevel(yk::SpanLevel::Years, 0, 0, 0, Data().folder(), store.get());
    benchmark::DoNotOptimize(store->counts[0]);
    double t1 = ThreadSeconds();
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(bytes.data(), std::streamsize(bytes.size()));
    benchmark::DoNotOptimize(bytes.data());
    double t2 = ThreadSeconds();
    load += t1 - t0;
    read += t2 - t1;
  }
  state.counters["ratio"] = load / read;
}
BENCHMARK(BM_LoadLevelOverIfstream)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
