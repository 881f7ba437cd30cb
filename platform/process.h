// process.h — starting another program (the updater starts the host and back).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Starts `program` with `arguments`, detached: it outlives this process and is never
// waited for.  It runs in `workingFolder` (empty: the program's own folder).  False when it
// could not be started (missing, not executable, no such folder).
[[nodiscard]] bool StartProgram(const std::filesystem::path& program,
                                const std::vector<std::string>& arguments = {},
                                const std::filesystem::path& workingFolder = {});

// Runs `program` (searched in PATH when it has no '/') with `arguments`, waits for it and
// returns what it wrote to its standard output, or std::nullopt when it could not be
// started or did not exit with status 0.  Its standard error is discarded.
std::optional<std::string> RunAndCapture(const std::string& program,
                                         const std::vector<std::string>& arguments);

// The full path of the running program as it was started ("" when unknown), and its folder,
// ending in '/'.  A program started through a link in another folder (a user's program
// folder of links to the installed files) belongs to the link's folder: that is where its
// plugins, pictures and data are looked for.
std::filesystem::path ExecutablePath();
std::u16string ExecutableFolder();

// The rule behind ExecutablePath: `argv0` (the name the program was started with) when it
// holds a '/' and names, through any links, the running file `running`; else `running`.
std::filesystem::path StartedProgramPath(const std::string& argv0,
                                         const std::filesystem::path& running);

}  // namespace platform
