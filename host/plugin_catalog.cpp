#include "host/plugin_catalog.h"

#include <algorithm>
#include <system_error>

#include "host/window_positions.h"
#include "platform/dynamic_library.h"
#include "platform/text_codec.h"

namespace yk {
namespace {

std::u16string TextOf(const YkChar* text, size_t capacity) {
  const auto* begin = reinterpret_cast<const char16_t*>(text);
  return std::u16string(begin, std::find(begin, begin + capacity, u'\0'));
}

char16_t FoldAscii(char16_t c) {
  return (c >= u'A' && c <= u'Z') ? char16_t(c - u'A' + u'a') : c;
}

// The display name from plg_info, copied while the module is still loaded.
std::optional<std::u16string> CallInfo(plg_info_fn info) {
  try {
    const YkChar* name = info();
    if (name == nullptr) return std::u16string();
    return TextOf(name, kHolidayNameUnits);  // a display name is far shorter than this
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace

bool IsPluginShown(const HostContext& host, std::u16string_view path) {
  for (int p = 0; p < kMaxWindows; ++p) {
    const PluginSlot* s = SlotAt(host, p);
    if (s != nullptr && s->loaded == 1 && s->path.get() == path) return true;
  }
  return false;
}

std::optional<std::u16string> ProbePlugin(const HostContext& host, std::u16string_view path) {
  if (path.empty() || IsPluginShown(host, path)) return std::nullopt;
  const platform::Handle module =
      platform::LoadModule(std::filesystem::path(platform::Utf16ToUtf8(path)));
  if (module == 0) return std::nullopt;
  std::optional<std::u16string> name;
  auto info = platform::FindExportAs<plg_info_fn>(module, "plg_info");
  if (platform::FindExport(module, "plg_valid") != nullptr && info != nullptr) {
    name = CallInfo(info);
  }
  (void)platform::FreeModule(module);
  return name;
}

std::vector<PluginCandidate> ScanPlugins(const HostContext& host) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (std::filesystem::directory_iterator it(PluginFolder(host), error), end; !error && it != end;
       it.increment(error)) {
    std::error_code kindError;
    if (!it->is_regular_file(kindError) || !HasExtensionAnyCase(it->path(), ".plg")) continue;
    files.push_back(it->path());
  }
  // The folder's own order is arbitrary here: file-name order makes the list and the
  // next-plugin rule predictable.
  std::sort(files.begin(), files.end());

  std::vector<PluginCandidate> candidates;
  for (const auto& file : files) {
    if (candidates.size() >= size_t(kMaxPluginCandidates)) break;
    std::u16string path = platform::Utf8ToUtf16(file.string());
    if (std::optional<std::u16string> name = ProbePlugin(host, path)) {
      candidates.push_back({std::move(path), std::move(*name)});
    }
  }
  return candidates;
}

bool SamePluginPath(std::u16string_view a, std::u16string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char16_t x, char16_t y) { return FoldAscii(x) == FoldAscii(y); });
}

}  // namespace yk
