#include "platform/process.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace platform {
namespace {

TEST(Process, StartsADetachedProgram) {
  char pattern[] = "/tmp/yk_process_XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  std::filesystem::path folder = pattern;
  auto marker = folder / "started";
  ASSERT_TRUE(StartProgram("/bin/sh", {"-c", "echo \"$0\" > " + marker.string(), "102"}));
  // The program runs on its own; wait for its trace (bounded, not a timing check).
  std::error_code error;
  auto written = [&] {
    auto size = std::filesystem::file_size(marker, error);
    return !error && size > 0;
  };
  for (int i = 0; i < 500 && !written(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(written());
  std::filesystem::remove_all(folder);
}

TEST(Process, RefusesWhatCannotRun) {
  EXPECT_FALSE(StartProgram("/nonexistent/program"));
  EXPECT_FALSE(StartProgram("/etc/hostname")) << "not executable";
  EXPECT_FALSE(StartProgram(""));
}

TEST(Process, KnowsItsOwnFolder) {
  auto folder = ExecutableFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), u'/');
  EXPECT_EQ(ExecutablePath().filename(), "platform_core_test");
}

}  // namespace
}  // namespace platform
