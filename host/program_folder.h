// program_folder.h — where the host finds its files: the program folder (`appFolder` of the
// Host context, ending in '/') and the plugin folder inside it.
//
// The program folder can be moved or installed elsewhere between two runs, while the
// window layout keeps the full path of each window's plugin; LocatePluginFile finds such a
// plugin again in the plugin folder of this run.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "common/plugin_interface.h"

namespace yk {

// The program folder of a Host context as a path (appFolder, which ends in '/').
[[nodiscard]] std::filesystem::path AppFolderPath(const HostContext& host);

// The data folder of a Host context as a path (dataFolder, which ends in '/').
[[nodiscard]] std::filesystem::path DataFolderPath(const HostContext& host);

// appFolder + "plugin/".
[[nodiscard]] std::filesystem::path PluginFolder(const HostContext& host);

// True when `file` ends in `extension` (".plg", ".bmp", given in lower case) whatever the
// case of its letters: "A.BMP" is a picture like "a.bmp".
[[nodiscard]] bool HasExtensionAnyCase(const std::filesystem::path& file,
                                       std::string_view extension);

// The plugin file a saved layout names.  When the stored file is gone, a file of the same
// name in the plugin folder is taken instead (its full path is returned); when there is
// none either, the stored path comes back unchanged and loading it reports the failure.
// The file name is what follows the last '/' or '\' of the stored path.
[[nodiscard]] std::u16string LocatePluginFile(const HostContext& host, std::u16string_view stored);

}  // namespace yk
