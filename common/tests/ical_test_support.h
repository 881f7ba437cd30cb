// ical_test_support.h — calendar files and data folders for the iCalendar tests.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "common/ical_exchange.h"

namespace yk::testing {

// The zone the tests write and read in unless a case says otherwise.
inline constexpr char kTokyo[] = "Asia/Tokyo";

// Every file below `folder` (relative path → bytes); folders only as the paths of files.
std::map<std::string, std::string> FolderFiles(const std::filesystem::path& folder);

// A calendar file: the lines of `body` ("\n" between them) inside VCALENDAR, CR LF.
std::string CalendarOf(std::string_view body);

// The record lines (UTF-8, without CR LF) of a plan, in order.
std::vector<std::string> PlannedLines(const CalendarImportPlan& plan);

// Plans the import of `bytes` into `dataFolder` in `zone` and adds what it plans.
CalendarImportPlan ImportInto(std::string_view bytes, const std::filesystem::path& dataFolder,
                              const char* zone = kTokyo);

// Adds records through the store (each must succeed).
void AddRecords(const std::filesystem::path& dataFolder,
                const std::vector<ScheduleRecord>& records);

}  // namespace yk::testing
