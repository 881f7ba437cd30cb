// The updater: the staged package's installation (also when the process is killed in the
// middle of it), the update loop with small packages built for the tests, the host's
// restart through a stand-in host program that records how it was started, and the
// program itself run from a folder of its own.
#include "updater/updater.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/profile.h"
#include "platform/testing/message_recorder.h"
#include "platform/testing/temp_folder.h"
#include "platform/text_codec.h"

namespace yk {
namespace {

namespace fs = std::filesystem;
using platform::testing::MessageRecorder;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFile(const fs::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

fs::path BuiltPackage(const char* name) {
  return fs::path(YK_TEST_PACKAGE_DIR) / (std::string(name) + ".plg");
}

// Waits until `file` exists (the stand-in host runs detached); false after 20 s.
bool AppearsSoon(const fs::path& file) {
  for (int i = 0; i < 2000; ++i) {
    if (fs::exists(file)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

// A program folder of its own with plugin/, a stand-in host program that writes its
// working folder and arguments into host.log, and an application object whose profile
// lives in memory.
class ProgramFolder {
 public:
  ProgramFolder() {
    fs::create_directories(root_ / "plugin");
    WriteFile(host(), "#!/bin/sh\nprintf '%s|%s|%s\\n' \"$PWD\" \"$#\" \"$*\" >> host.log\n");
    fs::permissions(host(), fs::perms::owner_all);
    app_ = platform::RegisterApplication(std::make_unique<platform::MemoryProfile>());
  }
  ~ProgramFolder() { platform::ReleaseApplication(app_); }

  const fs::path& root() const { return root_; }
  std::u16string folder() const { return platform::Utf8ToUtf16(root_.string() + "/"); }
  UpdaterPaths paths() const { return UpdaterPathsFor(folder()); }
  fs::path package() const { return root_ / "plugin" / "tavik_upd_hpc2karm.plg"; }
  fs::path staged() const { return root_ / "plugin" / "tavik_upd_hpc2karm.upd"; }
  fs::path host() const { return root_ / "tavik-hpc2k"; }
  fs::path hostLog() const { return root_ / "host.log"; }
  platform::Handle app() const { return app_; }

  void Install(const char* built, const fs::path& as) const {
    fs::copy_file(BuiltPackage(built), as);
  }
  // "<package> <program folder> <call>" per call of a package.
  std::vector<std::string> Calls() const { return Lines(ReadFile(root_ / "package.log")); }
  std::string Call(const char* package, int number) const {
    return std::string(package) + " " + root_.string() + "/ " + std::to_string(number);
  }

 private:
  platform::testing::TempFolder folder_{"updater"};
  const fs::path& root_ = folder_.path();
  platform::Handle app_ = 0;
};

TEST(UpdaterPaths, AllLieInTheProgramFolder) {
  const UpdaterPaths paths = UpdaterPathsFor(u"/opt/ヨミ/");
  EXPECT_EQ(paths.programFolder, u"/opt/ヨミ/");
  EXPECT_EQ(paths.package, fs::path("/opt/ヨミ/plugin/tavik_upd_hpc2karm.plg"));
  EXPECT_EQ(paths.staged, fs::path("/opt/ヨミ/plugin/tavik_upd_hpc2karm.upd"));
  EXPECT_EQ(paths.host, fs::path("/opt/ヨミ/tavik-hpc2k"));
}

// Each package answers as built; the table gives what the updater makes of it.
TEST(UpdaterLoop, AnswersOfThePackage) {
  struct Case {
    const char* name;
    const char* package;  // nullptr: no package file at all
    int result;
    int calls;  // how often plg_updater ran
    bool hostStarted;
    std::vector<std::u16string> messages;
  } cases[] = {
      {"answer 2 restarts the host at once", "upd_restart", 2, 1, true, {}},
      {"answer 0 ends without the host", "upd_finish", 0, 1, false, {}},
      {"answer 1 calls again until the package is done", "upd_repeat", 2, 3, true, {}},
      {"a missing package is a load failure", nullptr, 1, 0, false, {kPackageLoadErrorText}},
      {"a package without plg_updater", "upd_no_export", 1, 0, false, {kPackageCallErrorText}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProgramFolder folder;
    if (c.package != nullptr) folder.Install(c.package, folder.package());
    MessageRecorder recorder;
    // The restart waits for the host that handed over to end, and only then starts it.
    int waits = 0;
    bool startedBeforeTheWait = false;
    auto waitForHostToEnd = [&] {
      ++waits;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      startedBeforeTheWait = fs::exists(folder.hostLog());
    };
    EXPECT_EQ(RunUpdater(folder.paths(), folder.app(), waitForHostToEnd), c.result);
    EXPECT_EQ(waits, c.hostStarted ? 1 : 0);
    EXPECT_FALSE(startedBeforeTheWait);
    EXPECT_EQ(recorder.texts(), c.messages);
    EXPECT_EQ(int(folder.Calls().size()), c.calls);
    EXPECT_EQ(platform::ProfileOf(folder.app())->GetInt(u"update_test", u"calls", 0), c.calls)
        << "the package keeps its settings through the updater's application object";
    if (c.hostStarted) {
      ASSERT_TRUE(AppearsSoon(folder.hostLog())) << "the host was not started";
      // Started once, in the program folder, with no arguments.
      EXPECT_THAT(Lines(ReadFile(folder.hostLog())), ElementsAre(folder.root().string() + "|0|"));
    } else {
      // A start would have been made before RunUpdater returned; give the script its time.
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      EXPECT_FALSE(fs::exists(folder.hostLog())) << "the host was started";
    }
  }
}

TEST(UpdaterLoop, GarbageInPlaceOfThePackageIsALoadFailure) {
  ProgramFolder folder;
  WriteFile(folder.package(), "not a library");
  MessageRecorder recorder;
  EXPECT_EQ(RunUpdateLoop(folder.paths(), folder.app()), 1);
  EXPECT_THAT(recorder.texts(), ElementsAre(kPackageLoadErrorText));
}

// The package writes its successor and answers 1: the successor is moved over the package
// before the next call, and it is the one called.
TEST(UpdaterLoop, AStagedSuccessorReplacesThePackageBeforeTheNextCall) {
  ProgramFolder folder;
  folder.Install("upd_stage", folder.package());
  folder.Install("upd_finish", folder.root() / "plugin" / "next.plg");
  MessageRecorder recorder;
  EXPECT_EQ(RunUpdater(folder.paths(), folder.app()), 0);
  EXPECT_THAT(recorder.texts(), IsEmpty());
  EXPECT_THAT(folder.Calls(), ElementsAre(folder.Call("S", 1), folder.Call("F", 2)));
  EXPECT_EQ(ReadFile(folder.package()), ReadFile(BuiltPackage("upd_finish")));
  EXPECT_FALSE(fs::exists(folder.staged()));
}

// A staged package waiting from an earlier run is installed before the first call.
TEST(UpdaterLoop, AStagedPackageFromAnEarlierRunIsInstalledFirst) {
  struct Case {
    const char* name;
    bool packageThere;
  } cases[] = {{"over an old package", true}, {"without any package", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProgramFolder folder;
    if (c.packageThere) folder.Install("upd_finish", folder.package());
    folder.Install("upd_restart", folder.staged());
    EXPECT_EQ(RunUpdateLoop(folder.paths(), folder.app()), 2);
    EXPECT_THAT(folder.Calls(), ElementsAre(folder.Call("R", 1)));
    EXPECT_FALSE(fs::exists(folder.staged()));
  }
}

// Something that can't be renamed over the package leaves the package as it is.
TEST(UpdaterLoop, AStagedNameThatIsNoFileIsLeftAlone) {
  ProgramFolder folder;
  folder.Install("upd_finish", folder.package());
  fs::create_directories(folder.staged());
  EXPECT_FALSE(InstallStagedPackage(folder.paths()));
  EXPECT_EQ(RunUpdateLoop(folder.paths(), folder.app()), 0);
  EXPECT_THAT(folder.Calls(), ElementsAre(folder.Call("F", 1)));
}

// The updater killed at any step of the install: the package file is always there and
// whole — the old one until the rename, the new one from then on — and the next run
// finishes what is left.
TEST(UpdaterInstallDeathTest, AKillAtAnyStepLeavesAWholePackage) {
  const std::string oldBytes(4096, 'o');
  const std::string newBytes(8192, 'n');
  struct Case {
    InstallStep killedAt;
    bool newInPlace;
  } cases[] = {
      {InstallStep::kSyncStaged, false},
      {InstallStep::kRename, false},
      {InstallStep::kSyncFolder, true},
      {InstallStep::kDone, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.killedAt));
    ProgramFolder folder;
    WriteFile(folder.package(), oldBytes);
    WriteFile(folder.staged(), newBytes);
    const UpdaterPaths paths = folder.paths();
    EXPECT_EXIT(
        {
          SetInstallStepHook([&](InstallStep step) {
            if (step == c.killedAt) ::kill(::getpid(), SIGKILL);
          });
          (void)InstallStagedPackage(paths);
          std::exit(0);
        },
        ::testing::KilledBySignal(SIGKILL), "");
    ASSERT_TRUE(fs::is_regular_file(folder.package()));
    EXPECT_EQ(ReadFile(folder.package()), c.newInPlace ? newBytes : oldBytes);
    EXPECT_EQ(fs::exists(folder.staged()), !c.newInPlace);
    // The next run installs what is still staged.
    (void)InstallStagedPackage(paths);
    EXPECT_EQ(ReadFile(folder.package()), newBytes);
    EXPECT_FALSE(fs::exists(folder.staged()));
  }
}

TEST(UpdaterInstall, StepsRunInOrderAndOnlyWithAStagedPackage) {
  ProgramFolder folder;
  std::vector<InstallStep> steps;
  InstallStepHook previous = SetInstallStepHook([&](InstallStep step) { steps.push_back(step); });
  EXPECT_FALSE(InstallStagedPackage(folder.paths()));
  EXPECT_THAT(steps, IsEmpty());
  WriteFile(folder.staged(), "new");
  EXPECT_TRUE(InstallStagedPackage(folder.paths()));
  EXPECT_THAT(steps, ElementsAre(InstallStep::kSyncStaged, InstallStep::kRename,
                                 InstallStep::kSyncFolder, InstallStep::kDone));
  SetInstallStepHook(previous);
  EXPECT_EQ(ReadFile(folder.package()), "new");
}

#ifdef YK_UPDATER_PROGRAM
// Sets an environment variable for a scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) saved_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (saved_)
      ::setenv(name_, saved_->c_str(), 1);
    else
      ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> saved_;
};

// A host that still runs, as far as a new copy can tell: its local socket listens in the
// temporary folder until Close().  It never accepts, so every poll of a waiting updater
// stays queued: the queue is as long as the system allows, or a full queue refuses the
// 17th poll (under a second of waiting) and the host looks gone.
class RunningHost {
 public:
  explicit RunningHost(const fs::path& tempFolder) {
    const std::string path = (tempFolder / ("tavik-hpc2k-" + std::to_string(::getuid()))).string();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    listening_ = fd_ >= 0 &&
                 ::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
                 ::listen(fd_, SOMAXCONN) == 0;
    path_ = path;
  }
  ~RunningHost() { Close(); }
  bool listening() const { return listening_; }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    std::error_code ignored;
    fs::remove(path_, ignored);
  }

 private:
  int fd_ = -1;
  bool listening_ = false;
  fs::path path_;
};

// The program itself, started as the host starts it from a program folder of its own —
// a copy of the program, or a link to the installed file as a package's per-user folder
// has it: it works in the folder it was started from, keeps the package's settings in its
// own area beside the host's, and starts the host of that folder when the package
// answers 2 — once the host that handed over has ended.
TEST(UpdaterProgram, RunsThePackageOfTheFolderItWasStartedFrom) {
  struct Case {
    const char* name;
    bool linked;
    bool hostStillRuns;
  } cases[] = {
      {"a copy of the program", false, false},
      {"a link to the installed program", true, false},
      {"the host that handed over still closing", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProgramFolder folder;
    const fs::path program = folder.root() / "tavik_upd_hpc2k";
    if (c.linked)
      fs::create_symlink(YK_UPDATER_PROGRAM, program);
    else
      fs::copy_file(YK_UPDATER_PROGRAM, program);
    folder.Install("upd_stage", folder.package());
    folder.Install("upd_restart", folder.root() / "plugin" / "next.plg");
    const fs::path config = folder.root() / "config";
    const fs::path temp = folder.root() / "tmp";
    fs::create_directories(temp);
    ScopedEnv configHome("XDG_CONFIG_HOME", config.string());
    ScopedEnv tempHome("TMPDIR", temp.string());
    RunningHost host(temp);
    if (c.hostStillRuns) {
      ASSERT_TRUE(host.listening());
    } else {
      host.Close();
    }
    // The host closes a moment after the updater started.
    std::thread closing([&] {
      if (!c.hostStillRuns) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(1000));
      EXPECT_FALSE(fs::exists(folder.hostLog())) << "started while the old host still ran";
      host.Close();
    });
    // Bounded: an updater that misses its package waits on a message box.
    const auto output = platform::RunAndCapture("timeout", {"20", program.string(), "102"});
    closing.join();
    ASSERT_TRUE(output.has_value()) << "the updater did not end normally";
    EXPECT_THAT(folder.Calls(), ElementsAre(folder.Call("S", 1), folder.Call("R", 2)));
    const std::string settings = ReadFile(config / "Vantor Studio" / "tavik_upd_hpc2k.conf");
    EXPECT_THAT(settings, ::testing::HasSubstr("calls=2"));
    EXPECT_FALSE(fs::exists(config / "Vantor Studio" / "tavik-hpc2k.conf"));
    ASSERT_TRUE(AppearsSoon(folder.hostLog()));
    EXPECT_THAT(Lines(ReadFile(folder.hostLog())), ElementsAre(folder.root().string() + "|0|"));
  }
}
#endif

}  // namespace
}  // namespace yk
