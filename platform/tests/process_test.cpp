#include "platform/process.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "platform/testing/temp_folder.h"

namespace platform {
namespace {

TEST(Process, StartsADetachedProgram) {
  char pattern[] = "/tmp/yk_process_XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  std::filesystem::path folder = pattern;
  auto marker = folder / "started";
  ASSERT_TRUE(
      StartProgram("/bin/sh", {"-c", "pwd > started; echo \"$0\" >> started", "102"}, folder));
  // The program runs on its own; wait for its trace (bounded, not a timing check).
  std::error_code error;
  auto written = [&] {
    auto size = std::filesystem::file_size(marker, error);
    return !error && size > 0;
  };
  for (int i = 0; i < 500 && !written(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(written());
  std::ifstream in(marker);
  std::string where, argument;
  std::getline(in, where);
  std::getline(in, argument);
  EXPECT_EQ(where, folder.string()) << "runs in the given folder";
  EXPECT_EQ(argument, "102");
  std::filesystem::remove_all(folder);
}

TEST(Process, RefusesWhatCannotRun) {
  EXPECT_FALSE(StartProgram("/nonexistent/program"));
  EXPECT_FALSE(StartProgram("/etc/hostname")) << "not executable";
  EXPECT_FALSE(StartProgram(""));
  EXPECT_FALSE(StartProgram("/bin/sh", {"-c", "true"}, "/nonexistent/folder"));
}

TEST(Process, KnowsItsOwnFolder) {
  auto folder = ExecutableFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), u'/');
  EXPECT_EQ(ExecutablePath().filename(), "platform_core_test");
}

// Started through a link in a program folder of its own (links to installed files), the
// program belongs to the link's folder; anything else that does not name the program in
// a program folder leaves the resolved folder.
TEST(Process, ProgramFolderIsWhereTheProgramWasStarted) {
  namespace fs = std::filesystem;
  testing::TempFolder root("program_folder");
  const fs::path installed = root.path() / "installed";
  const fs::path user = root.path() / "user";
  const fs::path bin = root.path() / "bin";
  const fs::path other = root.path() / "other";
  for (const fs::path& folder : {installed / "plugin", user / "plugin", bin, other / "plugin"})
    fs::create_directories(folder);
  const fs::path program = installed / "prog";
  std::ofstream(program) << "program";
  std::ofstream(other / "prog") << "another program";
  fs::create_symlink(program, user / "prog");
  fs::create_symlink(program, bin / "prog");
  fs::create_symlink(user, root.path() / "user_link");
  const std::string userPath = user.string();

  struct Case {
    const char* rule;
    std::string argv0;
    fs::path workingFolder;
    std::string searchPath;
    fs::path folder;
  } cases[] = {
      {"the link's folder", (user / "prog").string(), "/", "", user},
      {"a relative start", "./prog", user, "", user},
      {"a start with dot-dot", "../user/prog", bin, "", user},
      {"found through PATH", "prog", "/", "/nonexistent:" + userPath, user},
      {"the first match in PATH", "prog", "/", (installed).string() + ":" + userPath, installed},
      {"an empty PATH entry is the working folder", "prog", user, "/nonexistent:", user},
      {"a folder reached through a folder link", (root.path() / "user_link/prog").string(), "/", "",
       root.path() / "user_link"},
      {"the installed file itself", program.string(), "/", "", installed},
      {"a link in a folder without plugins", (bin / "prog").string(), "/", "", installed},
      {"a link in PATH without plugins", "prog", "/", bin.string(), installed},
      {"a name of another program", (other / "prog").string(), "/", "", installed},
      {"a name that is no file", (user / "gone").string(), "/", "", installed},
      {"nothing started", "", "/", userPath, installed},
      {"a bare name not in PATH", "prog", "/", "/nonexistent", installed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    EXPECT_EQ(ProgramFolderOf(c.argv0, c.workingFolder, c.searchPath, program), c.folder);
  }
  EXPECT_EQ(ProgramFolderOf("prog", "/", userPath, ""), fs::path()) << "no executable known";
}

}  // namespace
}  // namespace platform
