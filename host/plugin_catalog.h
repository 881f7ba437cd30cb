// plugin_catalog.h — finding the plugins a window can show.
//
// Plugins are the "*.plg" files of the plugin folder (appFolder + "plugin/").  A scan probes
// each file in file-name order: a file already shown in any window is left out (a plugin is
// shown in one window at a time), and so is a file that does not load or lacks plg_valid or
// plg_info.  Probing loads the library for a moment and calls plg_info only, never plg_init.
// At most 50 candidates are kept; files after the fiftieth accepted one are not probed.
//
// Every scan reads the folder again, so plugins dropped into it appear without a restart.
// Nothing here shows a message.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/plugin_interface.h"
#include "host/program_folder.h"

namespace yk {

inline constexpr int kMaxPluginCandidates = 50;

struct PluginCandidate {
  std::u16string path;  // full path of the .plg file
  std::u16string name;  // what its plg_info returned
};

// True when an open window (any position) has the plugin file `path` loaded.  The paths are
// compared exactly.
[[nodiscard]] bool IsPluginShown(const HostContext& host, std::u16string_view path);

// The display name of the plugin file `path`, or nothing when the path is empty, the plugin
// is shown in a window, the library does not load, or it lacks plg_valid or plg_info.
[[nodiscard]] std::optional<std::u16string> ProbePlugin(const HostContext& host,
                                                        std::u16string_view path);

// The candidates of the plugin folder, in file-name order, at most 50.
[[nodiscard]] std::vector<PluginCandidate> ScanPlugins(const HostContext& host);

// True when two plugin paths name the same file regardless of letter case (ASCII).
[[nodiscard]] bool SamePluginPath(std::u16string_view a, std::u16string_view b);

}  // namespace yk
