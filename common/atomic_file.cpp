// atomic_file.cpp — write-to-temporary, fsync, rename, fsync-folder.
#include "common/atomic_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <utility>

namespace yk {
namespace {

AtomicFailureHook& Hook() {
  static AtomicFailureHook hook;
  return hook;
}

bool Injected(AtomicStep step) {
  const AtomicFailureHook& hook = Hook();
  return hook && hook(step);
}

bool WriteAll(int fd, std::string_view bytes) {
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  return true;
}

// The prefix of this target's temporary files: ".<name>.tmp-".
std::string TemporaryPrefix(const std::filesystem::path& target) {
  // Appended piece by piece: GCC 12 at -O3 warns (-Wrestrict) about "." + std::string.
  std::string prefix(1, '.');
  prefix += target.filename().string();
  prefix += ".tmp-";
  return prefix;
}

// Opens a new temporary file beside `target`; the name is unique within the process and
// across processes (pid), and O_EXCL refuses anything already there.
int CreateTemporary(const std::filesystem::path& target, std::filesystem::path* tempPath) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = TemporaryPrefix(target) + std::to_string(::getpid()) + "-" +
                       std::to_string(counter.fetch_add(1));
    std::filesystem::path candidate = target.parent_path() / name;
    int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      *tempPath = std::move(candidate);
      return fd;
    }
    if (errno != EEXIST) return -1;
  }
  return -1;
}

// Removes temporary files of `target` left by writers that died before their rename
// (their process no longer exists).  Files of live processes are left alone.
void RemoveAbandonedTemporaries(const std::filesystem::path& target) {
  std::error_code error;
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  const std::string prefix = TemporaryPrefix(target);
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    std::string name = it->path().filename().string();
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    std::size_t dash = name.find('-', prefix.size());
    if (dash == std::string::npos) continue;
    char* stop = nullptr;
    long pid = std::strtol(name.c_str() + prefix.size(), &stop, 10);
    if (stop != name.c_str() + dash || pid <= 0) continue;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) ::unlink(it->path().c_str());
  }
}

void SyncFolder(const std::filesystem::path& folder) {
  std::filesystem::path name = folder.empty() ? std::filesystem::path(".") : folder;
  int fd = ::open(name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

AtomicFailureHook SetAtomicFailureHook(AtomicFailureHook hook) {
  return std::exchange(Hook(), std::move(hook));
}

bool ReplaceFileAtomically(const std::filesystem::path& target, std::string_view bytes) noexcept {
  try {
    if (target.filename().empty()) return false;
    std::filesystem::path tempPath;
    if (Injected(AtomicStep::kCreateTemp)) return false;
    int fd = CreateTemporary(target, &tempPath);
    if (fd < 0) return false;

    // Keep the permissions of the file being replaced.
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);

    auto abandon = [&]() {
      ::close(fd);
      ::unlink(tempPath.c_str());
      return false;
    };
    if (Injected(AtomicStep::kWrite) || !WriteAll(fd, bytes)) return abandon();
    if (Injected(AtomicStep::kFlush) || ::fsync(fd) != 0) return abandon();
    if (::close(fd) != 0) {
      ::unlink(tempPath.c_str());
      return false;
    }
    if (Injected(AtomicStep::kRename) || ::rename(tempPath.c_str(), target.c_str()) != 0) {
      ::unlink(tempPath.c_str());
      return false;
    }
    // The new bytes are in place now; a folder that can't be synced only makes the
    // rename less durable against a power cut, so it is not reported as a failure.
    if (!Injected(AtomicStep::kSyncFolder)) SyncFolder(target.parent_path());
    RemoveAbandonedTemporaries(target);
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace yk
