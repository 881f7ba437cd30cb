// Dial-up entries through NetworkManager's command-line client.
#include "platform/dial_up.h"

#include <chrono>
#include <future>
#include <utility>

#include "platform/process.h"
#include "platform/text_codec.h"

namespace platform {
namespace {

std::vector<std::u16string> Names(const std::vector<std::string>& arguments) {
  std::vector<std::u16string> names;
  auto output = RunAndCapture("nmcli", arguments);
  if (!output) return names;
  for (const auto& name : ParseNmcliNames(*output)) names.push_back(Utf8ToUtf16(name));
  return names;
}

class NmcliDialUp final : public DialUpService {
 public:
  std::vector<std::u16string> PhoneBookEntries() override {
    return Names({"-t", "-f", "NAME", "connection", "show"});
  }
  std::vector<std::u16string> ActiveConnections() override {
    return Names({"-t", "-f", "NAME", "connection", "show", "--active"});
  }
  bool Dial(std::u16string_view entry) override {
    return RunAndCapture("nmcli", {"connection", "up", "id", Utf16ToUtf8(entry)}).has_value();
  }
  bool HangUp(std::u16string_view entry) override {
    return RunAndCapture("nmcli", {"connection", "down", "id", Utf16ToUtf8(entry)}).has_value();
  }
};

std::unique_ptr<DialUpService>& Current() {
  static std::unique_ptr<DialUpService> service = std::make_unique<NmcliDialUp>();
  return service;
}

}  // namespace

DialUpService& DialUp() {
  return *Current();
}

std::unique_ptr<DialUpService> SetDialUpService(std::unique_ptr<DialUpService> service) {
  if (!service) service = std::make_unique<NmcliDialUp>();
  return std::exchange(Current(), std::move(service));
}

bool DialWhileIdle(std::u16string_view entry, const std::function<void()>& idle) {
  const std::u16string name(entry);
  auto dialled = std::async(std::launch::async, [&name] { return DialUp().Dial(name); });
  while (dialled.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready)
    if (idle) idle();
  return dialled.get();
}

std::vector<std::u16string> PhoneBook() {
  std::vector<std::u16string> entries = DialUp().PhoneBookEntries();
  if (entries.size() > kMaxPhoneBookEntries) entries.resize(kMaxPhoneBookEntries);
  return entries;
}

std::vector<std::string> ParseNmcliNames(std::string_view output) {
  std::vector<std::string> names;
  std::string field;
  bool inFirstField = true;
  for (size_t i = 0; i < output.size(); ++i) {
    char c = output[i];
    if (c == '\n') {
      if (!field.empty()) names.push_back(field);
      field.clear();
      inFirstField = true;
    } else if (!inFirstField) {
      continue;
    } else if (c == '\\' && i + 1 < output.size() && output[i + 1] != '\n') {
      field += output[++i];
    } else if (c == ':') {
      inFirstField = false;
    } else {
      field += c;
    }
  }
  if (!field.empty()) names.push_back(field);
  return names;
}

}  // namespace platform
