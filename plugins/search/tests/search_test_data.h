// search_test_data.h — data folders for the search tests: schedule lines in the files of
// their levels, memos and memo lists, and a walk observer that records what it was told.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/plugin_interface.h"
#include "plugins/search/search_walk.h"

namespace yk::search::testing {

// A fresh data folder (with a trailing '/'), removed with everything in it.
class DataFolder {
 public:
  DataFolder();
  ~DataFolder();
  DataFolder(const DataFolder&) = delete;
  DataFolder& operator=(const DataFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

  // Appends record lines to the file the first record belongs in.
  void AddSchedules(const std::vector<ScheduleRecord>& records) const;
  // A memo in CP932 and, with `listed`, its line in the year's list.
  void AddMemo(int year, int month, int day, std::u16string_view text, bool listed = true) const;
  // Replaces the year's memo list with these lines (CR LF after each).
  void WriteMemoList(int year, const std::vector<std::u16string>& lines) const;

  std::string Bytes(const std::filesystem::path& relative) const;
  void WriteBytes(const std::filesystem::path& relative, std::string_view bytes) const;

 private:
  std::filesystem::path path_;
};

// A record from a start date, an end date and a text (all day, period -1).
ScheduleRecord Schedule(int sy, int sm, int sd, int ey, int em, int ed, std::u16string_view text);

// The UTF-16LE bytes of lines, each followed by CR LF.
std::string LinesBytes(const std::vector<std::u16string>& lines);

// Remembers every step and answers StopRequested from a rule.
class RecordingObserver : public WalkObserver {
 public:
  void Step(const WalkStep& step) override { steps.push_back(step); }
  bool StopRequested() override {
    ++stopChecks;
    return stopWhen && stopWhen(*this);
  }

  std::vector<WalkStep> steps;
  int stopChecks = 0;
  std::function<bool(const RecordingObserver&)> stopWhen;
};

}  // namespace yk::search::testing
