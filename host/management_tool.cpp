// management_tool.cpp — the question, the updater's start and the host's orderly close.
#include "host/management_tool.h"

#include <filesystem>

#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/profile.h"
#include "platform/text_codec.h"

namespace yk {

ManagementToolResult RunManagementTool(std::u16string_view appFolder,
                                       const std::function<void()>& closeHost) {
  const int answer = platform::MessageBox(kManagementToolQuestion, platform::kDefaultCaption,
                                          platform::kMbYesNo | platform::kMbIconQuestion);
  if (answer != platform::kIdYes) return ManagementToolResult::kDeclined;

  // The working folder is the program folder without its trailing '/'.
  const std::filesystem::path folder = platform::Utf16ToUtf8(appFolder);
  const std::filesystem::path workingFolder = folder.parent_path();
  if (!platform::StartProgram(folder / platform::Utf16ToUtf8(platform::kUpdaterProgramName),
                              {kUpdaterArgument}, workingFolder)) {
    platform::MessageBox(kStartErrorText);
    return ManagementToolResult::kNotStarted;
  }
  if (closeHost) closeHost();
  return ManagementToolResult::kStarted;
}

}  // namespace yk
