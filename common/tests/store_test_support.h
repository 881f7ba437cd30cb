// store_test_support.h — temporary data folders and raw file bytes for the store tests.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

#include "common/plugin_interface.h"
#include "platform/testing/temp_folder.h"

namespace yk::testing {

using platform::testing::TempFolder;

// The file's bytes; "<missing>" when it can't be read.
std::string ReadBytes(const std::filesystem::path& file);

// Everything below `folder`: each file's relative path with its bytes, each folder's
// relative path with a "/" at its end and "<folder>", anything else "<other>".
std::map<std::string, std::string> FolderTree(const std::filesystem::path& folder);

// Writes bytes as they are, creating folders as needed.
void WriteBytes(const std::filesystem::path& file, std::string_view bytes);

// UTF-16LE bytes of an ASCII or UTF-16 text, for writing expected file contents in tests.
std::string Le(std::u16string_view text);

// A schedule record from its eleven numbers and text.
ScheduleRecord MakeRecord(int startYear, int startMonth, int startDay, int startHour,
                          int startMinute, int endYear, int endMonth, int endDay, int endHour,
                          int endMinute, int period, std::u16string_view text);

}  // namespace yk::testing
