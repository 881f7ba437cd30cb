// The search walk over a generated ten-year data tree — schedules at every level, a memo on
// two days of three — against grep counting the same word over the same tree, measured
// alternately in the same run.
//
// The reference is `grep -rcaF -f WORDFILE TREE`, where WORDFILE holds the word's UTF-16LE
// bytes (the schedules' encoding; the word's bytes hold no 0x00 or 0x0A, so grep takes them
// as one fixed string).  grep reads every file of the tree once; a search of both targets
// does too (schedules through the four levels, memos through the year lists), so the two
// do the same reading and the counter "x_grep" (search time / grep time) shows what the
// walk, the parsing and the matching cost on top.  Goals: plain within 1.5, regex within 3.
//
// The word is rare enough that the walk never reaches the 200-hit limit and stops early.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "common/cp932_text.h"
#include "common/memo_store.h"
#include "common/schedule_store.h"
#include "common/utf16_line_file.h"
#include "plugins/search/search_walk.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using yk::search::SearchPeriod;
using yk::search::SearchTarget;

constexpr char16_t kWord[] = u"健康診断";
constexpr char16_t kRegex[] = u"健康(診断|相談)";
constexpr int kFirstYear = 2000;
constexpr int kLastYear = 2009;
const SearchPeriod kTenYears{kFirstYear, 1, 1, kLastYear, 12, 31};

const char16_t* const kWords[] = {u"会議",       u"打ち合わせ", u"買い物", u"病院", u"電話",
                                  u"出張",       u"歯医者",     u"締切",   u"確認", u"資料",
                                  u"準備",       u"誕生日",     u"旅行",   u"東京", u"大阪",
                                  u"第二会議室", u"新製品",     u"連絡",   u"提出", u"ランチ"};

class Tree {
 public:
  Tree() {
    std::string pattern = (fs::temp_directory_path() / "yk-search-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    root_ = fs::path(pattern);
    data_ = root_ / "data" / "";
    Generate();
    wordFile_ = root_ / "word.bin";
    std::ofstream(wordFile_, std::ios::binary) << yk::EncodeUtf16Le(kWord);
  }
  ~Tree() {
    std::error_code error;
    fs::remove_all(root_, error);
  }
  const fs::path& data() const { return data_; }
  const fs::path& wordFile() const { return wordFile_; }
  int files() const { return files_; }

 private:
  std::u16string Text(int words) {
    std::u16string text;
    for (int i = 0; i < words; ++i) {
      if (i) text += random_() % 5 == 0 ? u"__TVRET__" : u" ";
      text += kWords[random_() % std::size(kWords)];
    }
    if (random_() % 150 == 0) text += kWord;  // rare: far fewer than 200 hits in ten years
    return text;
  }
  ScheduleRecord Record(int sy, int sm, int sd, int ey, int em, int ed) {
    ScheduleRecord r{};
    r.startYear = sy, r.startMonth = sm, r.startDay = sd, r.startHour = 9;
    r.endYear = ey, r.endMonth = em, r.endDay = ed, r.endHour = 10;
    r.period = -1;
    yk::SetRecordText(&r, Text(2 + int(random_() % 6)));
    return r;
  }
  void Write(const std::vector<ScheduleRecord>& records) {
    const fs::path file = yk::ScheduleFilePathOf(data_, records.front());
    fs::create_directories(file.parent_path());
    std::string bytes;
    for (const auto& r : records) bytes += yk::EncodeUtf16Line(yk::FormatScheduleLine(r));
    std::ofstream(file, std::ios::binary) << bytes;
    ++files_;
  }
  void Generate() {
    std::vector<ScheduleRecord> records;
    for (int i = 0; i < 100; ++i) records.push_back(Record(1999, 1, 1, 2012, 12, 31));
    Write(records);
    for (int y = kFirstYear; y <= kLastYear; ++y) {
      records.clear();
      for (int i = 0; i < 100; ++i) records.push_back(Record(y, 1 + i % 6, 1, y, 7 + i % 6, 1));
      Write(records);
      for (int m = 1; m <= 12; ++m) {
        records.clear();
        for (int i = 0; i < 20; ++i) records.push_back(Record(y, m, 1 + i % 10, y, m, 20));
        Write(records);
        for (int d = 1; d <= yk::DaysInMonth(y, m); ++d) {
          records.clear();
          for (int i = 0; i < 5; ++i) records.push_back(Record(y, m, d, y, m, d));
          Write(records);
          if ((y * 400 + m * 31 + d) % 3 == 0) continue;
          std::u16string memo;
          for (int line = 0; line < 6; ++line) memo += Text(4) + u"\r\n";
          if (!yk::WriteMemo(y, m, d, data_, memo, true).ok()) std::abort();
          files_ += 1;
        }
      }
      ++files_;  // the year's memo list
    }
  }

  std::mt19937 random_{20040507};
  fs::path root_;
  fs::path data_;
  fs::path wordFile_;
  int files_ = 0;
};

Tree& TheTree() {
  static Tree tree;
  return tree;
}

class NoProgress : public yk::search::WalkObserver {
 public:
  void Step(const yk::search::WalkStep&) override {}
  bool StopRequested() override { return false; }
};

// Seconds of one search of both targets; the hits found.
double SearchSeconds(const std::u16string& search, bool regex, int* hits) {
  const auto start = std::chrono::steady_clock::now();
  yk::search::TextMatcher matcher(search, u"", regex);
  NoProgress progress;
  yk::search::HitTable table;
  *hits = 0;
  for (SearchTarget target : {SearchTarget::kSchedules, SearchTarget::kMemos}) {
    if (yk::search::RunSearch(target, kTenYears, matcher, TheTree().data(), progress, &table) !=
        yk::search::WalkEnd::kCompleted)
      std::abort();
    *hits += table.hitCount();
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Seconds of one `grep -rcaF -f WORDFILE TREE`, its output thrown away.
double GrepSeconds() {
  const std::string word = TheTree().wordFile().string();
  const std::string tree = TheTree().data().string();
  char* argv[] = {const_cast<char*>("grep"),       const_cast<char*>("-rcaF"),
                  const_cast<char*>("-f"),         const_cast<char*>(word.c_str()),
                  const_cast<char*>(tree.c_str()), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  if (posix_spawnp(&child, "grep", &actions, nullptr, argv, environ) != 0) std::abort();
  int status = 0;
  ::waitpid(child, &status, 0);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  posix_spawn_file_actions_destroy(&actions);
  if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) std::abort();
  return seconds;
}

void Compare(benchmark::State& state, const std::u16string& search, bool regex) {
  TheTree();
  double searchTotal = 0, grepTotal = 0;
  int hits = 0;
  for (auto _ : state) {
    searchTotal += SearchSeconds(search, regex, &hits);
    state.PauseTiming();
    grepTotal += GrepSeconds();
    state.ResumeTiming();
  }
  state.counters["hits"] = hits;
  state.counters["files"] = TheTree().files();
  state.counters["x_grep"] = grepTotal > 0 ? searchTotal / grepTotal : 0;
  state.counters["grep_ms"] = 1e3 * grepTotal / double(state.iterations());
}

void BM_SearchPlain(benchmark::State& state) {
  Compare(state, kWord, false);
}
BENCHMARK(BM_SearchPlain)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

void BM_SearchRegex(benchmark::State& state) {
  Compare(state, kRegex, true);
}
BENCHMARK(BM_SearchRegex)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

}  // namespace

BENCHMARK_MAIN();
