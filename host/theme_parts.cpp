#include "host/theme_parts.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "common/atomic_file.h"
#include "common/bitmap_ops.h"
#include "host/host_session.h"
#include "platform/bmp_file.h"
#include "platform/handles.h"
#include "platform/message_box.h"
#include "platform/text_codec.h"

namespace yk {
namespace {

namespace fs = std::filesystem;

constexpr int kIconWidth = 225;
constexpr int kIconHeight = 90;
constexpr int kIconTop = 30;
constexpr int kIconSmallTop = 120;
constexpr int kIconSmallWidth = 150;
constexpr int kIconSmallHeight = 60;
// A theme picture is 240 x 400 x 3 bytes plus headers; anything far larger is no theme.
constexpr uintmax_t kMaxThemeFileBytes = uintmax_t(64) << 20;

fs::path ThemeFilePath(const HostContext& host) {
  return AppFolderPath(host) / "data" / "tavik.dat";
}

fs::path IconFilePath(const HostContext& host) {
  return DataFolderPath(host) / "icon.bmp";
}

// Copies the top-left w x h of a bitmap file into the parts sheet at (x, y).  False when
// the file does not load.
bool CopyFileIntoSheet(const HostContext& host, const fs::path& file, int x, int y, int w, int h) {
  platform::Handle bitmap = platform::LoadBmpFile(file);
  if (bitmap == 0) return false;
  platform::Handle dc = platform::CreateCompatibleDC(host.partsDC);
  bool copied = false;
  if (dc != 0) {
    platform::Handle previous = platform::SelectBitmap(dc, bitmap);
    copied = platform::BitBlt(host.partsDC, x, y, w, h, dc, 0, 0);
    platform::SelectBitmap(dc, previous);
    platform::DeleteDC(dc);
  }
  platform::DeleteBitmap(bitmap);
  return copied;
}

}  // namespace

fs::path AppFolderPath(const HostContext& host) {
  return fs::path(platform::Utf16ToUtf8(std::u16string(host.appFolder)));
}

fs::path DataFolderPath(const HostContext& host) {
  return fs::path(platform::Utf16ToUtf8(std::u16string(host.dataFolder)));
}

bool LoadThemeParts(HostContext& host, bool withIcon) {
  if (!CopyFileIntoSheet(host, ThemeFilePath(host), 0, 0, kPartsWidth, kPartsHeight)) {
    platform::MessageBox(kDataFileErrorText);
    return false;
  }
  if (withIcon) MergeIconImage(host);
  return true;
}

void MergeIconImage(HostContext& host) {
  if (!CopyFileIntoSheet(host, IconFilePath(host), 0, kIconTop, kIconWidth, kIconHeight)) return;
  PixelBuffer sheet = PartsBuffer(host);
  Reduce(sheet, 0, kIconSmallTop, kIconSmallWidth, kIconSmallHeight, sheet, 0, kIconTop, kIconWidth,
         kIconHeight);
}

std::vector<std::u16string> ListThemeFiles(const fs::path& themeFolder) {
  std::vector<std::u16string> names;
  std::error_code error;
  fs::directory_iterator it(themeFolder, error);
  for (; !error && it != fs::directory_iterator(); it.increment(error)) {
    if (names.size() >= size_t(kMaxThemeFiles)) break;
    const fs::path& file = it->path();
    std::error_code entryError;  // an unreadable entry is skipped, the listing goes on
    if (file.extension() != ".bmp" || !it->is_regular_file(entryError)) continue;
    names.push_back(platform::Utf8ToUtf16(file.filename().string()));
  }
  return names;
}

bool InstallThemeFile(const fs::path& appFolder, const std::u16string& fileName) {
  fs::path name(platform::Utf16ToUtf8(fileName));
  if (fileName.empty() || name.has_parent_path() || name == "." || name == "..") return false;
  fs::path source = appFolder / "theme" / name;
  std::error_code error;
  uintmax_t size = fs::file_size(source, error);
  if (error || size > kMaxThemeFileBytes) return false;
  std::ifstream in(source, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.good() && !in.eof()) return false;
  auto picture = platform::DecodeBmp(
      std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
  if (!picture) return false;
  return ReplaceFileAtomically(appFolder / "data" / "tavik.dat", bytes);
}

}  // namespace yk
