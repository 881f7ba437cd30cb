// dial_up.h — the dial-up connections the weather download may open first.
//
// The handheld kept a phone book of remote-access entries; here the entries are the
// connections NetworkManager knows (`nmcli`), and dialling and hanging up bring one up and
// down.  Without nmcli the phone book is simply empty and dialling fails.  Tests replace
// the service with one of their own.
//
// The phone book holds at most kMaxPhoneBookEntries entries (the handheld's buffer of 20
// entry records).  Names are kept whole: a connection is dialled by its full name, and
// NetworkManager's names may be longer than the handheld's 20 characters.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

inline constexpr size_t kMaxPhoneBookEntries = 20;

class DialUpService {
 public:
  virtual ~DialUpService() = default;
  // Names of the known entries, in the order the system lists them.
  virtual std::vector<std::u16string> PhoneBookEntries() = 0;
  // Names of the connections that are up now.
  virtual std::vector<std::u16string> ActiveConnections() = 0;
  // Brings an entry up and waits until it is up or failed.
  [[nodiscard]] virtual bool Dial(std::u16string_view entry) = 0;
  // Takes a connection this program brought up down again.
  virtual bool HangUp(std::u16string_view entry) = 0;
};

// The service in use (NetworkManager's unless replaced).
DialUpService& DialUp();

// Replaces the service; returns the previous one so a test can put it back.
std::unique_ptr<DialUpService> SetDialUpService(std::unique_ptr<DialUpService> service);

// Dials `entry` on a helper thread while the caller's thread runs `idle` about every
// 50 ms, so a window keeps answering during a dial that takes long.  The result of Dial().
[[nodiscard]] bool DialWhileIdle(std::u16string_view entry, const std::function<void()>& idle);

// The phone book as the dial-up settings list it: at most kMaxPhoneBookEntries entries.
std::vector<std::u16string> PhoneBook();

// Splits `nmcli -t` output: one record per line, fields separated by ':' with ':' and '\'
// escaped by a backslash.  Returns the first field of each non-empty line.
std::vector<std::string> ParseNmcliNames(std::string_view output);

}  // namespace platform
