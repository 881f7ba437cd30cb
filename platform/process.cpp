// Starting programs with posix_spawn, detached through a double fork so that no zombie is
// left behind and the child outlives us.
#include "platform/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <system_error>

#include "platform/text_codec.h"

extern char** environ;

namespace platform {

bool StartProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                  const std::filesystem::path& workingFolder) {
  if (program.empty() || access(program.c_str(), X_OK) != 0) return false;
  const std::filesystem::path folder =
      workingFolder.empty() ? program.parent_path() : workingFolder;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  std::vector<std::string> strings;
  strings.push_back(program.string());
  strings.insert(strings.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& s : strings) argv.push_back(s.data());
  argv.push_back(nullptr);

  // The intermediate child spawns the program and exits at once; we reap it, and the
  // program is adopted by init.
  pid_t middle = fork();
  if (middle < 0) {
    posix_spawn_file_actions_destroy(&actions);
    return false;
  }
  if (middle == 0) {
    setsid();
    pid_t pid = 0;
    int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    _exit(rc == 0 ? 0 : 127);
  }
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  while (waitpid(middle, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::filesystem::path ExecutablePath() {
  std::error_code error;
  auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : path;
}

namespace {

// argv[0] of this process as it was started.
std::string StartedAs() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::string first;
  std::getline(in, first, '\0');
  return first;
}

// True when `path` names `executable` itself (through links or not) and its folder is a
// program folder.
bool IsProgramFileInFolder(const std::filesystem::path& path,
                           const std::filesystem::path& executable) {
  std::error_code error;
  return std::filesystem::equivalent(path, executable, error) && !error &&
         std::filesystem::is_directory(path.parent_path() / "plugin", error);
}

}  // namespace

std::filesystem::path ProgramFolderOf(std::string_view argv0,
                                      const std::filesystem::path& workingFolder,
                                      std::string_view searchPath,
                                      const std::filesystem::path& executable) {
  namespace fs = std::filesystem;
  if (executable.empty()) return {};
  const fs::path resolvedFolder = executable.parent_path();
  if (argv0.empty()) return resolvedFolder;
  std::vector<fs::path> candidates;
  if (argv0.find('/') != std::string_view::npos) {
    const fs::path started =
        fs::path(argv0).is_absolute() ? fs::path(argv0) : workingFolder / fs::path(argv0);
    candidates.push_back(started.lexically_normal());
    candidates.push_back(started);
  } else {
    // Found through PATH, the first match as the shell took it; an empty entry is the
    // working folder.
    size_t begin = 0;
    while (begin <= searchPath.size()) {
      size_t end = searchPath.find(':', begin);
      if (end == std::string_view::npos) end = searchPath.size();
      const fs::path entry(searchPath.substr(begin, end - begin));
      const fs::path folder = entry.empty() ? workingFolder : entry;
      std::error_code error;
      if (fs::exists(folder / fs::path(argv0), error)) {
        candidates.push_back(folder / fs::path(argv0));
        break;
      }
      begin = end + 1;
    }
  }
  for (const fs::path& candidate : candidates) {
    if (IsProgramFileInFolder(candidate, executable)) return candidate.parent_path();
  }
  return resolvedFolder;
}

std::u16string ExecutableFolder() {
  std::error_code error;
  const std::filesystem::path workingFolder = std::filesystem::current_path(error);
  const char* searchPath = std::getenv("PATH");
  const std::filesystem::path folder =
      ProgramFolderOf(StartedAs(), workingFolder, searchPath ? searchPath : "", ExecutablePath());
  if (folder.empty()) return {};
  std::u16string text = Utf8ToUtf16(folder.string());
  if (text.empty() || text.back() != u'/') text += u'/';
  return text;
}

}  // namespace platform

namespace platform {

std::optional<std::string> RunAndCapture(const std::string& program,
                                         const std::vector<std::string>& arguments) {
  std::vector<std::string> strings{program};
  strings.insert(strings.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& s : strings) argv.push_back(s.data());
  argv.push_back(nullptr);

  int pipeEnds[2];
  if (pipe2(pipeEnds, O_CLOEXEC) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  if (rc != 0) {
    close(pipeEnds[0]);
    return std::nullopt;
  }
  std::string output;
  char buffer[4096];
  for (;;) {
    ssize_t n = read(pipeEnds[0], buffer, sizeof buffer);
    if (n > 0)
      output.append(buffer, size_t(n));
    else if (n == 0 || errno != EINTR)
      break;
  }
  close(pipeEnds[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return output;
}

}  // namespace platform
