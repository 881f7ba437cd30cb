// The application objects and the in-memory profile.
#include "platform/profile.h"

#include <charconv>
#include <mutex>
#include <unordered_map>

#include "platform/handle_registry.h"
#include "platform/text_codec.h"

namespace platform {
namespace {

// What ProfileOf answers for a handle that names no application: defaults only.
class DetachedProfile final : public Profile {
 public:
  int GetInt(std::u16string_view, std::u16string_view, int fallback) override { return fallback; }
  std::u16string GetString(std::u16string_view, std::u16string_view,
                           std::u16string_view fallback) override {
    return std::u16string(fallback);
  }
  bool WriteInt(std::u16string_view, std::u16string_view, int) override { return false; }
  bool WriteString(std::u16string_view, std::u16string_view, std::u16string_view) override {
    return false;
  }
  bool Remove(std::u16string_view, std::u16string_view) override { return false; }
};

struct Applications {
  std::mutex mutex;
  std::unordered_map<Handle, std::unique_ptr<Profile>> profiles;
};

Applications& Apps() {
  static Applications apps;
  return apps;
}

}  // namespace

int MemoryProfile::GetInt(std::u16string_view section, std::u16string_view key, int fallback) {
  auto it = values_.find({std::u16string(section), std::u16string(key)});
  if (it == values_.end()) return fallback;
  std::string text = Utf16ToUtf8(it->second);
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return (error == std::errc() && end == text.data() + text.size()) ? value : fallback;
}

std::u16string MemoryProfile::GetString(std::u16string_view section, std::u16string_view key,
                                        std::u16string_view fallback) {
  auto it = values_.find({std::u16string(section), std::u16string(key)});
  return it == values_.end() ? std::u16string(fallback) : it->second;
}

bool MemoryProfile::WriteInt(std::u16string_view section, std::u16string_view key, int value) {
  return WriteString(section, key, Utf8ToUtf16(std::to_string(value)));
}

bool MemoryProfile::WriteString(std::u16string_view section, std::u16string_view key,
                                std::u16string_view value) {
  values_[{std::u16string(section), std::u16string(key)}] = std::u16string(value);
  return true;
}

bool MemoryProfile::Remove(std::u16string_view section, std::u16string_view key) {
  return values_.erase({std::u16string(section), std::u16string(key)}) > 0;
}

Handle RegisterApplication(std::unique_ptr<Profile> profile) {
  if (!profile) profile = std::make_unique<MemoryProfile>();
  Handle handle = NewHandle();
  std::lock_guard lock(Apps().mutex);
  Apps().profiles.emplace(handle, std::move(profile));
  return handle;
}

void ReleaseApplication(Handle app) {
  std::unique_ptr<Profile> doomed;
  std::lock_guard lock(Apps().mutex);
  auto it = Apps().profiles.find(app);
  if (it == Apps().profiles.end()) return;
  doomed = std::move(it->second);
  Apps().profiles.erase(it);
}

Profile* ProfileOf(Handle app) {
  static DetachedProfile detached;
  std::lock_guard lock(Apps().mutex);
  auto it = Apps().profiles.find(app);
  return it == Apps().profiles.end() ? &detached : it->second.get();
}

}  // namespace platform
