// theme_parts.h — the parts sheet: the current theme picture (data/tavik.dat) with the
// user's icon image (data/icon.bmp) merged into it, and the theme folder it is chosen from.
//
// The sheet is the Host context's 240 x 400 buffer (`partsBits`, drawn through `partsDC`).
// The icon image's top-left 225 x 90 pixels go to (0, 30) and a two-thirds reduction of
// them to (0, 120) 150 x 60.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "common/plugin_interface.h"

namespace yk {

inline constexpr int kMaxThemeFiles = 50;

// The program folder of a Host context as a path (appFolder, which ends in '/').
std::filesystem::path AppFolderPath(const HostContext& host);
// The data folder of a Host context as a path (dataFolder, which ends in '/').
std::filesystem::path DataFolderPath(const HostContext& host);

// Loads data/tavik.dat into the parts sheet; with `withIcon` merges the icon image too.
// A missing or unreadable file shows "データファイルの読み込みに失敗しました" and returns
// false with the sheet unchanged.
[[nodiscard]] bool LoadThemeParts(HostContext& host, bool withIcon);

// Copies data/icon.bmp into the sheet and its reduction beside it.  A missing or
// unreadable icon image changes nothing and says nothing.
void MergeIconImage(HostContext& host);

// File names (without folder) of the "*.bmp" files in `themeFolder`, at most 50, in the
// order the file system returns them.  A missing folder gives none.
std::vector<std::u16string> ListThemeFiles(const std::filesystem::path& themeFolder);

// Copies theme/<fileName> over data/tavik.dat.  The new file is checked to be a picture the
// program can load and replaces the old one in one step, so a failure (false) leaves the
// current theme as it was.  A name with a folder part is refused.
[[nodiscard]] bool InstallThemeFile(const std::filesystem::path& appFolder,
                                    const std::u16string& fileName);

}  // namespace yk
