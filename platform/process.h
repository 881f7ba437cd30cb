// process.h — starting another program (the updater starts the host and back).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
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

// The full path of the running executable with every link resolved ("" when unknown).
std::filesystem::path ExecutablePath();

// The program folder, ending in '/': the folder of the program file as it was started.
// A program folder may be made of links to installed files (a package's launcher gives
// each user a folder of their own that way); started through such a link, the program
// belongs to the link's folder, where its plugins and data are, not to the folder of the
// installed file.  The started path (argv[0], or its match in PATH) counts only when it is
// this very program and its folder holds a "plugin" folder: a bare convenience link in a
// bin folder leaves the installed folder in use.  "" when unknown.
std::u16string ExecutableFolder();

// How ExecutableFolder() decides, without the process: `argv0` as the program was started,
// `workingFolder` at its start, `searchPath` the value of PATH, `executable` the resolved
// program file.  Returns the program folder without a trailing '/', empty when
// `executable` is.
std::filesystem::path ProgramFolderOf(std::string_view argv0,
                                      const std::filesystem::path& workingFolder,
                                      std::string_view searchPath,
                                      const std::filesystem::path& executable);

}  // namespace platform
