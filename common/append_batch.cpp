// append_batch.cpp — appends to many files, flushed together, taken back together.
#include "common/append_batch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "common/atomic_file.h"
#include "common/data_path.h"

namespace yk {
namespace {

bool FsyncFile(const std::filesystem::path& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  return ::close(fd) == 0 && synced;
}

// Reads exactly `size` bytes at `at`.
bool ReadAt(int fd, uint64_t at, std::string* bytes, std::size_t size) {
  bytes->assign(size, '\0');
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got =
        ::pread(fd, bytes->data() + done, size - done, static_cast<off_t>(at + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    done += static_cast<std::size_t>(got);
  }
  return true;
}

}  // namespace

AppendBatch::AppendBatch(const std::filesystem::path& root, std::size_t files)
    : flushEach_(files <= kFlushEachFileUpTo) {
  if (flushEach_) return;
  rootFd_ = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  struct stat info {};
  if (rootFd_ >= 0 && ::fstat(rootFd_, &info) == 0) {
    rootDevice_ = static_cast<uint64_t>(info.st_dev);
  } else if (rootFd_ >= 0) {
    ::close(rootFd_);
    rootFd_ = -1;
  }
}

AppendBatch::~AppendBatch() {
  if (!settled_) (void)Rollback();
  if (rootFd_ >= 0) ::close(rootFd_);
}

bool AppendBatch::Append(const std::filesystem::path& file, std::string_view lines) {
  Entry entry;
  entry.file = file;
  CreateFoldersFor(file, &entry.madeFolders);
  std::optional<Utf16Append> append =
      AppendEncodedLines(file, lines, flushEach_ ? AppendFlush::kNow : AppendFlush::kByCaller);
  if (!append) {
    // Nothing of this file to take back; only the folders made for it.
    for (auto folder = entry.madeFolders.rbegin(); folder != entry.madeFolders.rend(); ++folder) {
      ::rmdir(folder->c_str());
    }
    return false;
  }
  entry.append = std::move(*append);
  entries_.push_back(std::move(entry));
  return true;
}

bool AppendBatch::Commit() {
  bool ok = true;
  if (!flushEach_) {
    // syncfs reports a failed write of any file of the file system since rootFd_ was
    // opened, which was before the first append.
    if (rootFd_ >= 0 && ::syncfs(rootFd_) != 0) ok = false;
    for (const Entry& entry : entries_) {
      if (rootFd_ < 0 || entry.append.device != rootDevice_) ok = FsyncFile(entry.file) && ok;
    }
  }
  settled_ = ok;
  return ok;
}

bool AppendBatch::Rollback() {
  bool all = true;
  for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry) {
    all = TakeBack(*entry) && all;
  }
  if (!flushEach_ && !entries_.empty()) {
    if (rootFd_ >= 0) (void)::syncfs(rootFd_);
    for (const Entry& entry : entries_) {
      if (rootFd_ < 0 || entry.append.device != rootDevice_) (void)FsyncFile(entry.file);
    }
  }
  entries_.clear();
  settled_ = true;
  return all;
}

bool AppendBatch::TakeBack(const Entry& entry) const {
  const Utf16Append& append = entry.append;
  const int fd = ::open(entry.file.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT;  // removed since: its lines went with it
  struct stat info {};
  std::string found;
  const uint64_t end = append.at + append.bytes.size();
  bool ours = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
              static_cast<uint64_t>(info.st_size) >= end &&
              ReadAt(fd, append.at, &found, append.bytes.size()) && found == append.bytes;
  bool takenOut = false;
  uint64_t left = 0;  // the file's size afterwards
  if (ours && static_cast<uint64_t>(info.st_size) == end) {
    // Nothing came after it: cut it off.
    takenOut =
        ::ftruncate(fd, static_cast<off_t>(append.at)) == 0 && (!flushEach_ || ::fsync(fd) == 0);
    left = append.at;
  }
  ::close(fd);
  if (ours && !takenOut && static_cast<uint64_t>(info.st_size) > end) {
    // Another writer appended after it: the file without it, replaced whole.
    std::optional<std::string> bytes = ReadFileBytes(entry.file);
    if (bytes && bytes->size() >= end &&
        bytes->compare(append.at, append.bytes.size(), append.bytes) == 0) {
      bytes->erase(append.at, append.bytes.size());
      takenOut = ReplaceFileAtomically(entry.file, *bytes);
      left = bytes->size();
    }
  }
  if (takenOut && append.created && left == 0) ::unlink(entry.file.c_str());
  for (auto folder = entry.madeFolders.rbegin(); folder != entry.madeFolders.rend(); ++folder) {
    if (::rmdir(folder->c_str()) != 0) break;  // not empty: something else is in it
  }
  return takenOut;
}

}  // namespace yk
