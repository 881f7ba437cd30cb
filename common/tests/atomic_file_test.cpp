// Atomic replacement: every failing step leaves the old bytes; killed writers leave old or
// new bytes, never a mixture.
#include "common/atomic_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <string>
#include <thread>

#include "common/tests/store_test_support.h"

namespace yk {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

int EntriesIn(const std::filesystem::path& folder) {
  int n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

// Installs a failure at one step for the life of the object.
class FailAt {
 public:
  explicit FailAt(AtomicStep step)
      : previous_(SetAtomicFailureHook([step](AtomicStep s) { return s == step; })) {}
  ~FailAt() { SetAtomicFailureHook(previous_); }

 private:
  AtomicFailureHook previous_;
};

TEST(AtomicFile, ReplacesOrCreatesWithExactlyTheNewBytes) {
  TempFolder folder;
  auto file = folder.path() / "f.txt";
  ASSERT_TRUE(ReplaceFileAtomically(file, std::string("new\0bytes", 9)));
  EXPECT_EQ(ReadBytes(file), std::string("new\0bytes", 9));
  ASSERT_TRUE(ReplaceFileAtomically(file, ""));
  EXPECT_EQ(ReadBytes(file), "");
  EXPECT_EQ(EntriesIn(folder.path()), 1) << "no temporary file left behind";
}

TEST(AtomicFile, KeepsThePermissionsOfTheReplacedFile) {
  TempFolder folder;
  auto file = folder.path() / "f.txt";
  WriteBytes(file, "old");
  ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
  ASSERT_TRUE(ReplaceFileAtomically(file, "new"));
  struct stat info {};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(AtomicFile, AFailedStepLeavesTheOldBytesAndNoTemporaryFile) {
  struct Case {
    AtomicStep step;
    bool succeeds;
    const char* name;
  } cases[] = {
      {AtomicStep::kCreateTemp, false, "create"},
      {AtomicStep::kWrite, false, "write"},
      {AtomicStep::kFlush, false, "flush"},
      {AtomicStep::kRename, false, "rename"},
      {AtomicStep::kSyncFolder, true, "folder sync comes after the rename"},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    auto file = folder.path() / "f.txt";
    WriteBytes(file, "old bytes");
    {
      FailAt fail(c.step);
      EXPECT_EQ(ReplaceFileAtomically(file, "new bytes"), c.succeeds) << c.name;
    }
    EXPECT_EQ(ReadBytes(file), c.succeeds ? "new bytes" : "old bytes") << c.name;
    EXPECT_EQ(EntriesIn(folder.path()), 1) << c.name;
  }
}

TEST(AtomicFile, AFailedStepOnAMissingFileCreatesNothing) {
  TempFolder folder;
  FailAt fail(AtomicStep::kRename);
  EXPECT_FALSE(ReplaceFileAtomically(folder.path() / "f.txt", "new"));
  EXPECT_EQ(EntriesIn(folder.path()), 0);
}

TEST(AtomicFile, FailsWithoutAFolder) {
  TempFolder folder;
  EXPECT_FALSE(ReplaceFileAtomically(folder.path() / "missing" / "f.txt", "x"));
  EXPECT_FALSE(ReplaceFileAtomically(folder.path() / "", "x")) << "a path without a file name";
}

// Temporary files of writers that died are swept by the next replacement; those of
// writers still running are not.
TEST(AtomicFile, TemporariesOfDeadWritersAreRemoved) {
  TempFolder folder;
  auto file = folder.path() / "f.txt";
  pid_t dead = ::fork();
  ASSERT_GE(dead, 0);
  if (dead == 0) ::_exit(0);
  ::waitpid(dead, nullptr, 0);
  const std::string deadTemp = ".f.txt.tmp-" + std::to_string(dead) + "-3";
  const std::string liveTemp = ".f.txt.tmp-" + std::to_string(::getpid()) + "-999999";
  const std::string otherFile = ".g.txt.tmp-" + std::to_string(dead) + "-3";
  for (const auto& name : {deadTemp, liveTemp, otherFile}) WriteBytes(folder.path() / name, "x");
  ASSERT_TRUE(ReplaceFileAtomically(file, "new"));
  EXPECT_FALSE(std::filesystem::exists(folder.path() / deadTemp));
  EXPECT_TRUE(std::filesystem::exists(folder.path() / liveTemp));
  EXPECT_TRUE(std::filesystem::exists(folder.path() / otherFile)) << "another file's";
}

// A writer killed at random moments, many times: the file always holds one of the two
// complete contents.
TEST(AtomicFile, AKilledWriterLeavesOldOrNewBytes) {
  TempFolder folder;
  auto file = folder.path() / "f.txt";
  const std::string a(256 * 1024, 'a');
  const std::string b(384 * 1024, 'b');
  WriteBytes(file, a);
  std::mt19937 random(12345);
  int roundsWithB = 0;
  int killedMidSave = 0;
  const int rounds = 40;
  for (int round = 0; round < rounds; ++round) {
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0;; ++i) (void)ReplaceFileAtomically(file, i % 2 ? a : b);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    std::string now = ReadBytes(file);
    ASSERT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
    roundsWithB += now == b ? 1 : 0;
    killedMidSave += EntriesIn(folder.path()) > 1 ? 1 : 0;  // its temporary file is there
  }
  ASSERT_TRUE(ReplaceFileAtomically(file, a));
  EXPECT_EQ(EntriesIn(folder.path()), 1) << "what the killed writers left is swept";
  // The writers really wrote, and were caught in the middle of a save.
  EXPECT_GT(roundsWithB, 0);
  EXPECT_GT(killedMidSave, 0);
}

}  // namespace
}  // namespace yk
