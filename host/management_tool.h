// management_tool.h — "管理ツール(&M)": hands over to the updater.
//
// Asks first; on Yes starts the updater program of the program folder
// (`appFolder` + platform::kUpdaterProgramName) with the argument "102" in the program folder, and
// when it started asks the host to close in the normal way (settings and layout saved,
// plugins unloaded) while the updater runs.  When it could not be started the user is
// told so and the host keeps running.  The updater is never waited for.
#pragma once

#include <functional>
#include <string_view>

namespace yk {

inline constexpr char16_t kManagementToolQuestion[] =
    u"Yomitokiを終了して管理ツールを実行しますか？";
inline constexpr char16_t kStartErrorText[] = u"実行エラーが発生しました";
inline constexpr char kUpdaterArgument[] = "102";

enum class ManagementToolResult {
  kDeclined,   // No: nothing started
  kStarted,    // the updater runs; `closeHost` was called
  kNotStarted  // the start failed; the message has been shown
};

// `appFolder` ends in '/'.  `closeHost` posts the close request to the main window.
ManagementToolResult RunManagementTool(std::u16string_view appFolder,
                                       const std::function<void()>& closeHost);

}  // namespace yk
