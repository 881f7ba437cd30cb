// updater.cpp — the staged package's installation, the update loop and the host's restart.
#include "updater/updater.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <utility>

#include "platform/dynamic_library.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/profile.h"
#include "platform/text_codec.h"
#include "updater/update_package.h"

namespace yk {
namespace {

InstallStepHook& Hook() {
  static InstallStepHook hook;
  return hook;
}

void Step(InstallStep step) {
  if (const InstallStepHook& hook = Hook()) hook(step);
}

// Flushes a file or a folder to disk; a failure only makes the step less durable.
void Sync(const std::filesystem::path& path, int flags) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

UpdaterPaths UpdaterPathsFor(std::u16string programFolder) {
  UpdaterPaths paths;
  const std::filesystem::path folder = platform::Utf16ToUtf8(programFolder);
  paths.package = folder / "plugin" / "tavik_upd_hpc2karm.plg";
  paths.staged = folder / "plugin" / "tavik_upd_hpc2karm.upd";
  paths.host = folder / platform::Utf16ToUtf8(platform::kHostProgramName);
  paths.programFolder = std::move(programFolder);
  return paths;
}

InstallStepHook SetInstallStepHook(InstallStepHook hook) {
  return std::exchange(Hook(), std::move(hook));
}

bool InstallStagedPackage(const UpdaterPaths& paths) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(paths.staged, error)) return false;
  // The package used to be deleted before the staged file was renamed: a crash between the
  // two left no package at all.  One rename replaces it in a single step instead.
  Step(InstallStep::kSyncStaged);
  Sync(paths.staged, O_RDONLY);
  Step(InstallStep::kRename);
  const bool renamed = std::rename(paths.staged.c_str(), paths.package.c_str()) == 0;
  if (renamed) {
    Step(InstallStep::kSyncFolder);
    Sync(paths.package.parent_path(), O_RDONLY | O_DIRECTORY);
  }
  Step(InstallStep::kDone);
  return renamed;
}

int RunUpdateLoop(const UpdaterPaths& paths, platform::Handle app) {
  for (;;) {
    (void)InstallStagedPackage(paths);
    const platform::Handle package = platform::LoadModule(paths.package);
    if (package == 0) {
      platform::MessageBox(kPackageLoadErrorText);
      return kUpdaterCallAgain;
    }
    auto update = platform::FindExportAs<plg_updater_fn>(package, "plg_updater");
    if (update == nullptr) {
      (void)platform::FreeModule(package);
      platform::MessageBox(kPackageCallErrorText);
      return kUpdaterCallAgain;
    }
    const int answer = update(paths.programFolder.c_str(), app);
    (void)platform::FreeModule(package);
    if (answer != kUpdaterCallAgain) return answer;
  }
}

int RunUpdater(const UpdaterPaths& paths, platform::Handle app,
               const std::function<void()>& waitForHostToEnd) {
  const int result = RunUpdateLoop(paths, app);
  if (result == kUpdaterRestartHost) {
    if (waitForHostToEnd) waitForHostToEnd();
    // In the program folder, without its trailing '/'.
    const std::filesystem::path folder = platform::Utf16ToUtf8(paths.programFolder);
    (void)platform::StartProgram(paths.host, {}, folder.parent_path());
  }
  return result;
}

}  // namespace yk
