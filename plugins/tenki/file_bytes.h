// file_bytes.h — reading a whole small file of the plugin folder or the data folder.
//
// Only regular files are read (a pipe or a folder in the file's place is refused, never
// waited on), at most `maxBytes` of them: the rest of a longer file is left unread.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace yk::tenki {

enum class FileRead {
  kRead,        // *bytes holds the file's bytes (or its first maxBytes)
  kMissing,     // there is no file of that name
  kUnreadable,  // something is there but can't be read as a file
};

[[nodiscard]] FileRead ReadFileBytes(const std::filesystem::path& file, size_t maxBytes,
                                     std::string* bytes);

}  // namespace yk::tenki
