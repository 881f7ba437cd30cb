// Schedule store speed: collecting one date whose four files hold a full cache's worth of
// records (950), cold and warm, loading a level against reading the same bytes with a
// plain std::ifstream, the look for a move intent that precedes every read, and adding
// 5,000 records over a year of day files at once against adding them one by one.
#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "common/schedule_store.h"
#include "common/utf16_line_file.h"
#include "platform/message_box.h"
#include "platform/testing/temp_folder.h"

namespace {

// A data folder in the temporary folder with the four files of 7 May 2004 filled to their
// capacities; every record falls on that date.
class Fixture {
 public:
  Fixture() {
    Fill(yk::SpanLevel::Years, 300, u"(2003,01,01,09,00 2005,12,31,18,00 -1)(");
    Fill(yk::SpanLevel::Months, 300, u"(2004,01,01,09,00 2004,12,31,18,00 -2)(");
    Fill(yk::SpanLevel::Days, 300, u"(2004,05,01,09,00 2004,05,31,18,00 -1)(");
    Fill(yk::SpanLevel::Day, 50, u"(2004,05,07,09,00 2004,05,07,18,00 -1)(");
  }
  const std::filesystem::path& folder() const { return folder_.path(); }
  std::filesystem::path RootFile() const {
    return yk::ScheduleFilePath(folder(), yk::SpanLevel::Years, 0, 0, 0);
  }

 private:
  void Fill(yk::SpanLevel level, int count, std::u16string_view head) {
    auto path = yk::ScheduleFilePath(folder(), level, 2004, 5, 7);
    std::filesystem::create_directories(path.parent_path());
    std::string bytes;
    for (int i = 0; i < count; ++i) {
      std::u16string text = u"打ち合わせ__TVRET__会議室" + std::u16string(20 + i % 40, u'x');
      bytes += yk::EncodeUtf16Line(std::u16string(head) + text + u")");
    }
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
  }
  platform::testing::TempFolder folder_{"bench"};
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

// ---- adding many records ------------------------------------------------------------------

// New data folders are made in the temporary folder: on a disk, so that what the adds
// cost includes waiting for it.
using EmptyFolder = platform::testing::TempFolder;

// 5,000 records of one-hour meetings spread over the 366 days of 2004 (13 or 14 a day),
// in an order that keeps going from one day to another, as an import's does.
const std::vector<ScheduleRecord>& YearOfRecords() {
  static const std::vector<ScheduleRecord> records = [] {
    constexpr int kMonthDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    std::vector<ScheduleRecord> out;
    for (int i = 0; i < 5000; ++i) {
      int day = i * 7 % 366;  // 7 and 366 share no factor: every day in turn
      int month = 0;
      while (day >= kMonthDays[month]) day -= kMonthDays[month++];
      ScheduleRecord r{};
      r.startYear = r.endYear = 2004;
      r.startMonth = r.endMonth = month + 1;
      r.startDay = r.endDay = day + 1;
      r.startHour = 8 + i % 10;
      r.endHour = r.startHour + 1;
      r.period = yk::kPeriodContinuous;
      yk::SetRecordText(&r, u"打ち合わせ" + std::u16string(1, char16_t(u'A' + i % 26)));
      out.push_back(r);
    }
    return out;
  }();
  return records;
}

double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The limit and open-failure messages would stop the run: none is expected.
class NoMessageBoxes {
 public:
  NoMessageBoxes() {
    previous_ =
        platform::SetMessageBoxHandler([this](std::u16string_view, std::u16string_view, unsigned) {
          ++shown_;
          return int(platform::kIdOk);
        });
  }
  ~NoMessageBoxes() { platform::SetMessageBoxHandler(previous_); }
  int shown() const { return shown_; }

 private:
  platform::MessageBoxHandler previous_;
  int shown_ = 0;
};

bool AddOneByOne(const std::filesystem::path& folder, ScheduleStore* store) {
  for (const ScheduleRecord& r : YearOfRecords()) {
    if (!yk::AddSchedule(folder, r, store)) return false;
  }
  return true;
}

// The batch alone, into a new folder at every iteration (wall time).
void BM_AddBatch(benchmark::State& state) {
  NoMessageBoxes messages;
  auto store = std::make_unique<ScheduleStore>();
  for (auto _ : state) {
    state.PauseTiming();
    auto folder = std::make_unique<EmptyFolder>("bench");
    yk::ClearScheduleStore(store.get());
    state.ResumeTiming();
    if (!yk::AddSchedules(folder->path(), YearOfRecords(), store.get())) {
      state.SkipWithError("the batch was refused");
    }
    state.PauseTiming();
    folder.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(std::int64_t(state.iterations()) * 5000);
}
BENCHMARK(BM_AddBatch)->Unit(benchmark::kMillisecond)->UseRealTime();

// Both on the same records, each into a new folder, wall time: the counter "ratio" is the
// one-by-one adds' time over the batch's (goal: at least 10), and the two folders must
// hold the same bytes.
void BM_AddOneByOneOverBatch(benchmark::State& state) {
  NoMessageBoxes messages;
  auto store = std::make_unique<ScheduleStore>();
  double oneByOne = 0, batch = 0;
  for (auto _ : state) {
    EmptyFolder single("bench"), together("bench");
    yk::ClearScheduleStore(store.get());
    const double t0 = WallSeconds();
    const bool addedSingly = AddOneByOne(single.path(), store.get());
    const double t1 = WallSeconds();
    yk::ClearScheduleStore(store.get());
    const bool addedTogether = yk::AddSchedules(together.path(), YearOfRecords(), store.get());
    const double t2 = WallSeconds();
    oneByOne += t1 - t0;
    batch += t2 - t1;
    if (!addedSingly || !addedTogether) state.SkipWithError("an add was refused");
    for (int day = 1; day <= 31; ++day) {
      for (int month = 1; month <= 12; ++month) {
        auto file = [&](const EmptyFolder& f) {
          return yk::ScheduleFilePath(f.path(), yk::SpanLevel::Day, 2004, month, day);
        };
        if (yk::ReadFileBytes(file(single)) != yk::ReadFileBytes(file(together))) {
          state.SkipWithError("the batch wrote other bytes");
        }
      }
    }
  }
  if (messages.shown() != 0) state.SkipWithError("a message was shown");
  state.counters["one_by_one_s"] = oneByOne / double(state.iterations());
  state.counters["batch_s"] = batch / double(state.iterations());
  state.counters["ratio"] = oneByOne / batch;
}
BENCHMARK(BM_AddOneByOneOverBatch)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
