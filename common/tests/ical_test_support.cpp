#include "common/tests/ical_test_support.h"

#include <gtest/gtest.h>

#include <memory>

#include "common/schedule_store.h"
#include "common/tests/store_test_support.h"
#include "platform/text_codec.h"

namespace yk::testing {

namespace fs = std::filesystem;

std::map<std::string, std::string> FolderFiles(const fs::path& folder) {
  std::map<std::string, std::string> files = FolderTree(folder);
  std::erase_if(files, [](const auto& entry) { return entry.first.ends_with('/'); });
  return files;
}

std::string CalendarOf(std::string_view body) {
  std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Test//EN\r\n";
  for (std::size_t at = 0; at < body.size();) {
    std::size_t end = body.find('\n', at);
    if (end == std::string_view::npos) end = body.size();
    text.append(body.substr(at, end - at));
    text += "\r\n";
    at = end + 1;
  }
  return text + "END:VCALENDAR\r\n";
}

std::vector<std::string> PlannedLines(const CalendarImportPlan& plan) {
  std::vector<std::string> lines;
  for (const ScheduleRecord& r : plan.records) {
    lines.push_back(platform::Utf16ToUtf8(FormatScheduleLine(r)));
  }
  return lines;
}

CalendarImportPlan ImportInto(std::string_view bytes, const fs::path& dataFolder,
                              const char* zone) {
  CalendarImportPlan plan = PlanCalendarImport(bytes, dataFolder, {zone});
  auto store = std::make_unique<ScheduleStore>();
  ClearScheduleStore(store.get());
  if (plan.ok()) {
    EXPECT_TRUE(ApplyCalendarImport(plan, dataFolder, store.get()));
  }
  return plan;
}

void AddRecords(const fs::path& dataFolder, const std::vector<ScheduleRecord>& records) {
  auto store = std::make_unique<ScheduleStore>();
  ClearScheduleStore(store.get());
  for (const ScheduleRecord& r : records) ASSERT_TRUE(AddSchedule(dataFolder, r, store.get()));
}

}  // namespace yk::testing
