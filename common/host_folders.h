// host_folders.h — the folders a Host context names, as paths.
//
// `appFolder` (the program folder) and `dataFolder` are UTF-16 texts of at most 260 units
// that end in '/'.  The text ends at its first NUL and is never read past the field, which
// lies in memory every plugin writes to.  A unit that is no character (a lone surrogate)
// becomes U+FFFD instead of failing the conversion.
#pragma once

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <string_view>

#include "common/plugin_interface.h"
#include "platform/text_codec.h"

namespace yk {

// A folder field of the Host context (appFolder, dataFolder) as a path.
[[nodiscard]] inline std::filesystem::path HostFolderPath(const YkChar (&field)[260]) {
  const YkChar* end = std::find(std::begin(field), std::end(field), YkChar(0));
  return std::filesystem::path(
      platform::Utf16ToUtf8(std::u16string_view(field, std::size_t(end - field))));
}

// The program folder (appFolder).
[[nodiscard]] inline std::filesystem::path AppFolderPath(const HostContext& host) {
  return HostFolderPath(host.appFolder);
}

// The data folder (dataFolder).
[[nodiscard]] inline std::filesystem::path DataFolderPath(const HostContext& host) {
  return HostFolderPath(host.dataFolder);
}

}  // namespace yk
