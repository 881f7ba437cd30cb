#include "platform/process.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

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

// A user's program folder holds links to the installed program: started through such a
// link, the program belongs to the link's folder.
TEST(Process, StartedThroughALinkBelongsToTheLinksFolder) {
  char pattern[] = "/tmp/yk_started_XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::filesystem::path root = pattern;
  std::filesystem::create_directories(root / "installed");
  std::filesystem::create_directories(root / "home");
  const auto program = root / "installed" / "prog";
  std::ofstream(program) << "x";
  std::ofstream(root / "installed" / "other") << "y";
  std::filesystem::create_symlink(program, root / "home" / "prog");
  std::filesystem::create_symlink(root / "home" / "prog", root / "home" / "chain");

  const struct {
    const char* rule;
    std::string argv0;
    std::filesystem::path expected;
  } cases[] = {
      {"a link to the running file", (root / "home" / "prog").string(), root / "home" / "prog"},
      {"a link to a link", (root / "home" / "chain").string(), root / "home" / "chain"},
      {"the file itself", program.string(), program},
      {"dots in the name are folded", (root / "home" / "." / "prog").string(),
       root / "home" / "prog"},
      {"no folder in the name: found in PATH", "prog", program},
      {"another file", (root / "installed" / "other").string(), program},
      {"a name that does not exist", (root / "home" / "missing").string(), program},
      {"an empty name", "", program},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    EXPECT_EQ(StartedProgramPath(c.argv0, program), c.expected);
  }
  std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace platform
