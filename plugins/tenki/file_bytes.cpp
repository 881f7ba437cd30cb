#include "plugins/tenki/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace yk::tenki {

FileRead ReadFileBytes(const std::filesystem::path& file, size_t maxBytes, std::string* bytes) {
  bytes->clear();
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? FileRead::kMissing : FileRead::kUnreadable;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return FileRead::kUnreadable;
  }
  bytes->resize(std::min(maxBytes, size_t(std::max<off_t>(info.st_size, 0)) + 1));
  size_t have = 0;
  for (;;) {
    if (have == bytes->size()) {
      if (have >= maxBytes) break;
      bytes->resize(std::min(maxBytes, have * 2 + 4096));  // the file grew since fstat
    }
    const ssize_t got = ::read(fd, bytes->data() + have, bytes->size() - have);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      ::close(fd);
      bytes->clear();
      return FileRead::kUnreadable;
    }
    if (got == 0) break;
    have += size_t(got);
  }
  ::close(fd);
  bytes->resize(have);
  return FileRead::kRead;
}

}  // namespace yk::tenki
