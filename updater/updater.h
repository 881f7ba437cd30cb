// updater.h — tavik_upd_hpc2k without its window system: installs a staged update
// package, calls the package until it is done and starts the host when it asks for that.
//
// Files, all in the program folder (the updater's own folder, ending in '/'):
//   plugin/tavik_upd_hpc2karm.plg   the update package (update_package.h)
//   plugin/tavik_upd_hpc2karm.upd   its successor, staged by the package itself
//   tavik-hpc2k                     the host program
//
// The loop: install the staged package when there is one; load the package (on failure
// "データのロードに失敗しました" and stop without starting the host); find plg_updater (when
// missing "データの呼び出しに失敗しました" and stop likewise); call it, free the library;
// answer 1 goes round again, any other answer ends the loop.  Answer 2 then starts the
// host, without arguments, in the program folder, once the host that handed over has
// ended, and does not wait for the new one.
//
// The staged package replaces the package with one rename over it, so a crash, a kill or
// a power cut at any moment leaves a complete package file (the old or the new one).
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "platform/handles.h"

namespace yk {

inline constexpr char16_t kPackageLoadErrorText[] = u"データのロードに失敗しました";
inline constexpr char16_t kPackageCallErrorText[] = u"データの呼び出しに失敗しました";

struct UpdaterPaths {
  std::u16string programFolder;  // ends in '/'
  std::filesystem::path package;
  std::filesystem::path staged;
  std::filesystem::path host;
};

// The three paths of a program folder (which must end in '/').
UpdaterPaths UpdaterPathsFor(std::u16string programFolder);

// The steps of installing a staged package, in the order they run.
enum class InstallStep {
  kSyncStaged,  // flush the staged file's bytes to disk
  kRename,      // rename it over the package file
  kSyncFolder,  // flush the folder, so the rename itself survives a power cut
  kDone,        // after the last step
};

// Called before each step (tests stop the process there).  Returns the previous hook.
using InstallStepHook = std::function<void(InstallStep step)>;
InstallStepHook SetInstallStepHook(InstallStepHook hook);

// Moves the staged package over the package file when there is one.  True when it was
// installed; false when there is none or the rename failed (the package file is then
// whatever it was before).
bool InstallStagedPackage(const UpdaterPaths& paths);

// The loop above; returns the package's last answer, or 1 after a load or export failure
// (the message has been shown).  Does not start the host.
int RunUpdateLoop(const UpdaterPaths& paths, platform::Handle app);

// The whole run: the loop, then the host's start on answer 2.  Returns the loop's result.
// `waitForHostToEnd`, when given, runs just before that start: the host that handed over
// may still be closing, and a new copy started meanwhile would only bring it forward.
int RunUpdater(const UpdaterPaths& paths, platform::Handle app,
               const std::function<void()>& waitForHostToEnd = {});

}  // namespace yk
