// program_folder.cpp — the program and plugin folders, and plugins found there again.
#include "host/program_folder.h"

#include <algorithm>
#include <system_error>

#include "platform/text_codec.h"

namespace yk {
namespace {

namespace fs = std::filesystem;

std::u16string FolderText(const YkChar (&field)[260]) {
  return std::u16string(std::begin(field), std::find(std::begin(field), std::end(field), u'\0'));
}

}  // namespace

fs::path AppFolderPath(const HostContext& host) {
  return fs::path(platform::Utf16ToUtf8(FolderText(host.appFolder)));
}

fs::path DataFolderPath(const HostContext& host) {
  return fs::path(platform::Utf16ToUtf8(FolderText(host.dataFolder)));
}

fs::path PluginFolder(const HostContext& host) {
  return fs::path(platform::Utf16ToUtf8(FolderText(host.appFolder)) + "plugin/");
}

bool HasExtensionAnyCase(const fs::path& file, std::string_view extension) {
  const std::string actual = file.extension().string();
  return std::equal(
      actual.begin(), actual.end(), extension.begin(), extension.end(),
      [](char a, char b) { return (a >= 'A' && a <= 'Z' ? char(a - 'A' + 'a') : a) == b; });
}

std::u16string LocatePluginFile(const HostContext& host, std::u16string_view stored) {
  const std::u16string original(stored);
  std::error_code error;
  if (stored.empty() || fs::exists(fs::path(platform::Utf16ToUtf8(original)), error))
    return original;
  // Layouts written on the handheld separate folders with '\'.
  const size_t cut = stored.find_last_of(u"/\\");
  const std::u16string_view name =
      cut == std::u16string_view::npos ? stored : stored.substr(cut + 1);
  if (name.empty() || name == u"." || name == u"..") return original;
  const fs::path moved = PluginFolder(host) / platform::Utf16ToUtf8(name);
  if (!fs::is_regular_file(moved, error)) return original;
  return platform::Utf8ToUtf16(moved.string());
}

}  // namespace yk
