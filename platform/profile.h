// profile.h — the profile store: integer and UTF-16 string values by section and key.
//
// The host's settings live under the company "Vantor Studio", in the area named after the
// program ("tavik-hpc2k"), section "setting"; every plugin keeps its own section in the
// same area ("plugin_tavik_sched", ...).  The application object handle (the host
// context's `app`) resolves to the program's profile, so a plugin reads
//   platform::ProfileOf(host->app)->GetInt(u"plugin_tavik_sched", u"key0", 0)
//
// Two implementations: MemoryProfile (no files, for tests and for logic that only needs
// the interface; available in every build) and the settings file kept by QSettings in
// XDG_CONFIG_HOME/Vantor Studio/<program>.conf (OpenSettingsProfile, Qt builds only).  A
// missing value, a missing file or a garbled one reads as the caller's default; an integer
// stored as text that is not a whole number also reads as the default.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "platform/handles.h"

namespace platform {

inline constexpr char16_t kCompanyName[] = u"Vantor Studio";
inline constexpr char16_t kHostProgramName[] = u"tavik-hpc2k";
// The updater keeps its settings (and its update package's) in an area of its own.
inline constexpr char16_t kUpdaterProgramName[] = u"tavik_upd_hpc2k";

class Profile {
 public:
  virtual ~Profile() = default;
  virtual int GetInt(std::u16string_view section, std::u16string_view key, int fallback) = 0;
  virtual std::u16string GetString(std::u16string_view section, std::u16string_view key,
                                   std::u16string_view fallback) = 0;
  // Written values are visible to the next read at once; false when the store refused.
  virtual bool WriteInt(std::u16string_view section, std::u16string_view key, int value) = 0;
  virtual bool WriteString(std::u16string_view section, std::u16string_view key,
                           std::u16string_view value) = 0;
  // Removes a value (the next read gives the default).
  virtual bool Remove(std::u16string_view section, std::u16string_view key) = 0;
};

class MemoryProfile final : public Profile {
 public:
  int GetInt(std::u16string_view section, std::u16string_view key, int fallback) override;
  std::u16string GetString(std::u16string_view section, std::u16string_view key,
                           std::u16string_view fallback) override;
  bool WriteInt(std::u16string_view section, std::u16string_view key, int value) override;
  bool WriteString(std::u16string_view section, std::u16string_view key,
                   std::u16string_view value) override;
  bool Remove(std::u16string_view section, std::u16string_view key) override;

 private:
  std::map<std::pair<std::u16string, std::u16string>, std::u16string> values_;
};

// The QSettings profile of `program` under kCompanyName (written to disk on every write).
// Qt builds only; needs no QCoreApplication.
std::unique_ptr<Profile> OpenSettingsProfile(std::u16string_view program = kHostProgramName);

// The application object: registers a profile and returns its handle (never 0).  The
// platform owns the profile until ReleaseApplication.
Handle RegisterApplication(std::unique_ptr<Profile> profile);
void ReleaseApplication(Handle app);

// The profile of an application object.  Never nullptr: for 0 or a stale handle it is a
// detached profile that reads every value as its default and refuses every write, so a
// plugin started without a host reads defaults instead of crashing.
Profile* ProfileOf(Handle app);

}  // namespace platform
