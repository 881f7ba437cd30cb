// iCalendar import speed: a calendar of 1,700 repeating events that no record kind can
// express, expanded into some 85,000 single records over 20,000 day files, planned and
// added into an empty data folder, against writing the same files' bytes plainly (and
// flushing them once) in the same run.
//
//   ical_bench --write-calendar FILE   writes the calendar, for timing yomitoki-ical on it
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "common/ical_exchange.h"
#include "common/schedule_store.h"
#include "common/utf16_line_file.h"
#include "platform/testing/temp_folder.h"

namespace {

namespace fs = std::filesystem;

// Every event repeats 50 times in a way that is expanded into single records: every
// other week, every third day, or the 1st and 15th of each month; starts from 1975 to
// 2034, at a whole hour from 7 to 19.  The same calendar at every run.
const std::string& LargeCalendar() {
  static const std::string text = [] {
    constexpr const char* kRules[] = {"FREQ=WEEKLY;INTERVAL=2;COUNT=50",
                                      "FREQ=DAILY;INTERVAL=3;COUNT=50",
                                      "FREQ=MONTHLY;BYMONTHDAY=1,15;COUNT=50"};
    std::string out = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Yomitoki//bench//EN\r\n";
    uint32_t seed = 13;
    auto next = [&seed](uint32_t below) {
      seed = seed * 1103515245u + 12345u;
      return (seed >> 8) % below;
    };
    char line[512];
    for (int i = 0; i < 1700; ++i) {
      const int year = 1975 + int(next(60));
      const int month = 1 + int(next(12));
      const int day = 1 + int(next(28));
      const int hour = 7 + int(next(13));
      const int length =
          std::snprintf(line, sizeof line,
                        "BEGIN:VEVENT\r\nUID:bench-%d@yomitoki\r\nDTSTAMP:20240101T000000Z\r\n"
                        "DTSTART:%04d%02d%02dT%02d0000\r\nDTEND:%04d%02d%02dT%02d3000\r\n"
                        "RRULE:%s\r\nSUMMARY:打ち合わせ %d\r\nEND:VEVENT\r\n",
                        i, year, month, day, hour, year, month, day, hour, kRules[next(3)], i);
      if (length < 0 || length >= int(sizeof line)) std::abort();
      out += line;
    }
    return out + "END:VCALENDAR\r\n";
  }();
  return text;
}

double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Every sched.txt below `folder` with its bytes, by path relative to it.
std::map<std::string, std::string> ScheduleFiles(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.path().filename() != "sched.txt") continue;
    files[fs::relative(entry.path(), folder).string()] = *yk::ReadFileBytes(entry.path());
  }
  return files;
}

// The reference: the files written with plain creates and writes, flushed once.
void WritePlainly(const fs::path& folder, const std::map<std::string, std::string>& files) {
  for (const auto& [name, bytes] : files) {
    const fs::path path = folder / name;
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != ssize_t(bytes.size())) std::abort();
    ::close(fd);
  }
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ::syncfs(fd);
  ::close(fd);
}

// Wall time of both, each into a new folder: "ratio" is the import's time (planning
// included) over the plain writes' (goal: at most 5).
void BM_ImportOverPlainWrites(benchmark::State& state) {
  double import = 0, plain = 0;
  std::size_t records = 0, files = 0;
  for (auto _ : state) {
    platform::testing::TempFolder imported("bench"), written("bench");
    auto store = std::make_unique<ScheduleStore>();
    yk::ClearScheduleStore(store.get());
    const double t0 = WallSeconds();
    const yk::CalendarImportPlan plan =
        yk::PlanCalendarImport(LargeCalendar(), imported.path(), {"Asia/Tokyo"});
    if (!yk::ApplyCalendarImport(plan, imported.path(), store.get())) {
      state.SkipWithError("the import failed");
      break;
    }
    const double t1 = WallSeconds();
    const auto bytes = ScheduleFiles(imported.path());
    const double t2 = WallSeconds();
    WritePlainly(written.path(), bytes);
    const double t3 = WallSeconds();
    import += t1 - t0;
    plain += t3 - t2;
    records = plan.records.size();
    files = bytes.size();
  }
  state.counters["records"] = double(records);
  state.counters["files"] = double(files);
  state.counters["import_s"] = import / double(state.iterations());
  state.counters["plain_s"] = plain / double(state.iterations());
  state.counters["ratio"] = import / plain;
}
// One iteration: removing the 40,000 files and folders again takes longer than making them.
BENCHMARK(BM_ImportOverPlainWrites)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--write-calendar") == 0) {
    std::ofstream out(argv[2], std::ios::binary);
    out << LargeCalendar();
    return out.flush() ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
