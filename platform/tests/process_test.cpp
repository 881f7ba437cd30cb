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

}  // namespace
}  // namespace platform
