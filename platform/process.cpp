// Starting programs with posix_spawn, detached through a double fork so that no zombie is
// left behind and the child outlives us.
#include "platform/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
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

std::filesystem::path StartedProgramPath(const std::string& argv0,
                                         const std::filesystem::path& running) {
  if (argv0.find('/') == std::string::npos) return running;
  std::error_code error;
  const std::filesystem::path started = std::filesystem::absolute(argv0, error);
  if (error || !std::filesystem::equivalent(started, running, error) || error) return running;
  return started.lexically_normal();
}

std::filesystem::path ExecutablePath() {
  std::error_code error;
  const auto running = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  std::ifstream commandLine("/proc/self/cmdline", std::ios::binary);
  std::string argv0;
  std::getline(commandLine, argv0, '\0');
  return StartedProgramPath(argv0, running);
}

std::u16string ExecutableFolder() {
  auto path = ExecutablePath();
  if (path.empty()) return {};
  std::u16string folder = Utf8ToUtf16(path.parent_path().string());
  if (folder.empty() || folder.back() != u'/') folder += u'/';
  return folder;
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
