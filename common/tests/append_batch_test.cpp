// Appends to many files as one step: the bytes each file gets, and taking them back —
// also when another writer appended after them or changed the file in between.
#include "common/append_batch.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <functional>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "common/tests/store_test_support.h"
#include "common/utf16_line_file.h"

namespace yk {
namespace {

namespace fs = std::filesystem;
using testing::FolderTree;
using testing::Le;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

const std::string kOld = Le(u"old\r\n");
const std::string kNew = Le(u"new\r\nnewer\r\n");

// Many files or few: the two ways a batch is flushed.
constexpr std::size_t kFlushModes[] = {1, AppendBatch::kFlushEachFileUpTo + 1};

TEST(AppendBatch, EachFileGetsItsLinesAfterTheLineEndItLacks) {
  const struct {
    const char* what;
    bool exists;
    std::string before;
    std::string after;
  } cases[] = {
      {"a new file in new folders", false, "", kNew},
      {"an empty file", true, "", kNew},
      {"after a whole line", true, kOld, kOld + kNew},
      {"after a line without CR LF", true, Le(u"old"), Le(u"old\r\n") + kNew},
      {"after a unit cut in half", true, Le(u"old") + "x",
       Le(u"old") + "x" + std::string(1, '\0') + Le(u"\r\n") + kNew},
  };
  for (std::size_t files : kFlushModes) {
    for (const auto& c : cases) {
      SCOPED_TRACE(c.what);
      TempFolder folder;
      const fs::path file = folder.path() / "2004/5/7/sched.txt";
      if (c.exists) WriteBytes(file, c.before);
      AppendBatch batch(folder.path(), files);
      ASSERT_TRUE(batch.Append(file, kNew));
      ASSERT_TRUE(batch.Commit());
      EXPECT_EQ(ReadBytes(file), c.after);
    }
  }
}

// Rollback after everything was appended: each file as it was, made files and folders
// gone, folders that hold something else kept.
TEST(AppendBatch, RollbackTakesEveryAppendBack) {
  const std::string cut = Le(u"old") + "x";
  for (std::size_t files : kFlushModes) {
    SCOPED_TRACE(files);
    TempFolder folder;
    const fs::path& data = folder.path();
    WriteBytes(data / "2004/5/7/sched.txt", Le(u"old"));
    WriteBytes(data / "2004/5/sched.txt", cut);
    WriteBytes(data / "sched.txt", kOld);
    const auto before = FolderTree(data);
    {
      AppendBatch batch(data, files);
      for (const char* name : {"2004/5/7/sched.txt", "2004/5/sched.txt", "sched.txt",
                               "2004/5/8/sched.txt", "2005/1/1/sched.txt", "2005/1/2/sched.txt"}) {
        ASSERT_TRUE(batch.Append(data / name, kNew)) << name;
      }
      // Another program puts a file of its own into a folder the batch made.
      WriteBytes(data / "2005/1/memo.txt", "mine");
      EXPECT_TRUE(batch.Rollback());
    }
    auto expected = before;
    expected["2005/"] = expected["2005/1/"] = "<folder>";
    expected["2005/1/memo.txt"] = "mine";
    EXPECT_EQ(FolderTree(data), expected);
  }
}

// What happened to the file between the append and the rollback decides how its bytes
// are taken out, or whether they can be.
TEST(AppendBatch, RollbackAfterTheFileChanged) {
  const std::string theirs = Le(u"theirs\r\n");
  const struct {
    const char* what;
    std::function<void(const fs::path&)> meanwhile;
    bool failRewrites;
    bool takenBack;
    std::string after;
  } cases[] = {
      {"another writer appended after it: cut out, their line kept",
       [&](const fs::path& f) { WriteBytes(f, ReadBytes(f) + theirs); }, false, true,
       kOld + theirs},
      {"the same, and the rewrite fails: the file keeps everything",
       [&](const fs::path& f) { WriteBytes(f, ReadBytes(f) + theirs); }, true, false,
       kOld + kNew + theirs},
      {"the appended bytes were changed: left alone",
       [&](const fs::path& f) { WriteBytes(f, kOld + Le(u"NEW\r\nnewer\r\n")); }, false, false,
       kOld + Le(u"NEW\r\nnewer\r\n")},
      {"the file was cut short: left alone", [&](const fs::path& f) { WriteBytes(f, kOld); }, false,
       false, kOld},
      {"the file is gone: nothing to take out", [&](const fs::path& f) { fs::remove(f); }, false,
       true, "<missing>"},
  };
  for (std::size_t files : kFlushModes) {
    for (const auto& c : cases) {
      SCOPED_TRACE(c.what);
      TempFolder folder;
      const fs::path file = folder.path() / "sched.txt";
      WriteBytes(file, kOld);
      AppendBatch batch(folder.path(), files);
      ASSERT_TRUE(batch.Append(file, kNew));
      c.meanwhile(file);
      AtomicFailureHook previous = SetAtomicFailureHook([&](AtomicStep) { return c.failRewrites; });
      EXPECT_EQ(batch.Rollback(), c.takenBack);
      SetAtomicFailureHook(previous);
      EXPECT_EQ(ReadBytes(file), c.after);
    }
  }
}

// Files may grow to `bytes` while it lives, so that a longer write fails (EFBIG) as on a
// full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    previousAction_ = ::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limit = previous_;
    limit.rlim_cur = bytes;
    EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &previous_);
    ::signal(SIGXFSZ, previousAction_);
  }

 private:
  rlimit previous_{};
  sighandler_t previousAction_;
};

// A write that fails halfway (the disk full) is cut off again: a file that was there keeps
// its bytes, one the append made is removed with its folders; the batch's other files
// are taken back.
TEST(AppendBatch, AWriteThatFailsIsCutOffAgain) {
  const std::string big = Le(std::u16string(3000, u'x') + u"\r\n");
  for (std::size_t files : kFlushModes) {
    SCOPED_TRACE(files);
    TempFolder folder;
    const fs::path& data = folder.path();
    WriteBytes(data / "sched.txt", Le(u"old"));
    WriteBytes(data / "2004/sched.txt", kOld);
    const auto before = FolderTree(data);
    {
      AppendBatch batch(data, files);
      FileSizeLimit limit(4096);
      ASSERT_TRUE(batch.Append(data / "sched.txt", kNew));
      EXPECT_FALSE(batch.Append(data / "2004/sched.txt", big));
      EXPECT_FALSE(batch.Append(data / "2005/1/1/sched.txt", big));
      EXPECT_EQ(FolderTree(data).count("2005/"), 0u) << "the folders made for it are gone";
      EXPECT_TRUE(batch.Rollback());
    }
    EXPECT_EQ(FolderTree(data), before);
  }
}

// A file that can't be appended to leaves no folder made for it, and a batch that is
// given up without a commit takes itself back.
TEST(AppendBatch, FailuresAndUncommittedBatchesLeaveNothingBehind) {
  for (std::size_t files : kFlushModes) {
    SCOPED_TRACE(files);
    TempFolder folder;
    const fs::path& data = folder.path();
    WriteBytes(data / "sched.txt", kOld);
    fs::create_directories(data / "2004/5/7/sched.txt");  // a folder in the file's place
    WriteBytes(data / "2005", "a file in a folder's place");
    const auto before = FolderTree(data);
    {
      AppendBatch batch(data, files);
      ASSERT_TRUE(batch.Append(data / "sched.txt", kNew));
      ASSERT_TRUE(batch.Append(data / "2003/1/1/sched.txt", kNew));
      EXPECT_FALSE(batch.Append(data / "2004/5/7/sched.txt", kNew));
      EXPECT_FALSE(batch.Append(data / "2005/1/1/sched.txt", kNew));
      // A folder is made, the next one can't be (its name is too long).
      EXPECT_FALSE(batch.Append(data / "2006" / std::string(300, 'x') / "sched.txt", kNew));
    }
    EXPECT_EQ(FolderTree(data), before);
  }
}

}  // namespace
}  // namespace yk
