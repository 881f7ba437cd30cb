// ical_time.cpp — the local zone and times of calendar files.
#include "common/ical_time.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <mutex>

namespace yk {
namespace {

constexpr int kMinutesPerHour = 60;

bool KnownZone(const std::string& name) {
  return !name.empty() && icaltimezone_get_builtin_timezone(name.c_str()) != nullptr;
}

// "/usr/share/zoneinfo/Asia/Tokyo" → "Asia/Tokyo" (also under posix/ and right/).
std::string ZoneOfFile(const std::string& path) {
  constexpr std::string_view kFolder = "zoneinfo/";
  const std::size_t at = path.find(kFolder);
  if (at == std::string::npos) return {};
  std::string name = path.substr(at + kFolder.size());
  for (std::string_view variant : {"posix/", "right/"}) {
    if (name.starts_with(variant)) name.erase(0, variant.size());
  }
  return name;
}

std::string Checked(std::string name) {
  return KnownZone(name) ? name : std::string();
}

icaltimetype WallTime(const LocalMoment& moment) {
  icaltimetype t = icaltime_null_time();
  t.year = moment.date.year;
  t.month = moment.date.month;
  t.day = moment.date.day;
  t.hour = moment.minutes / kMinutesPerHour;
  t.minute = moment.minutes % kMinutesPerHour;
  return t;
}

LocalMoment MomentOf(const icaltimetype& t) {
  return {{t.year, t.month, t.day}, t.is_date ? 0 : t.hour * kMinutesPerHour + t.minute};
}

}  // namespace

void PrepareCalendarLibrary() {
  static std::once_flag once;
  std::call_once(once, [] { icalerror_set_errors_are_fatal(0); });
}

std::string SystemZoneName() {
  PrepareCalendarLibrary();
  if (const char* tz = std::getenv("TZ")) {
    std::string value = tz;
    if (value.empty()) return "UTC";  // an empty TZ means UTC to the C library
    if (value.front() == ':') value.erase(0, 1);
    // The C library follows TZ; a zone it names that libical doesn't know stays unnamed.
    return Checked(value.starts_with('/') ? ZoneOfFile(value) : value);
  }
  std::string line;
  if (std::ifstream file("/etc/timezone"); std::getline(file, line)) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
    if (KnownZone(line)) return line;
  }
  std::error_code error;
  const std::filesystem::path link = std::filesystem::read_symlink("/etc/localtime", error);
  return error ? std::string() : Checked(ZoneOfFile(link.string()));
}

CalendarZone::CalendarZone(std::string_view name) {
  PrepareCalendarLibrary();
  if (name.empty()) return;
  name_ = std::string(name);
  zone_ = icaltimezone_get_builtin_timezone(name_.c_str());
  // A zone whose rules can't be loaded is no zone: its times would be written unexplained.
  if (zone_ != nullptr && !utc() && icaltimezone_get_component(zone_) == nullptr) zone_ = nullptr;
  if (zone_ == nullptr) name_.clear();
}

bool CalendarZone::utc() const {
  return zone_ != nullptr && zone_ == icaltimezone_get_utc_timezone();
}

icalcomponent* CalendarZone::NewTimezoneComponent() const {
  if (floating() || utc()) return nullptr;
  icalcomponent* component = icalcomponent_new_clone(icaltimezone_get_component(zone_));
  // libical names its built-in zones with a prefix of its own that other programs don't
  // know; the plain name is what they look up.
  if (icalproperty* tzid = icalcomponent_get_first_property(component, ICAL_TZID_PROPERTY)) {
    icalproperty_set_tzid(tzid, name_.c_str());
  }
  return component;
}

icalproperty* CalendarZone::NewTimeProperty(icalproperty_kind kind,
                                            const LocalMoment& moment) const {
  icaltimetype t = WallTime(moment);
  if (utc()) t.zone = icaltimezone_get_utc_timezone();
  icalproperty* property = icalproperty_new(kind);
  icalproperty_set_value(property, icalvalue_new_datetime(t));
  if (!floating() && !utc())
    icalproperty_add_parameter(property, icalparameter_new_tzid(name_.c_str()));
  return property;
}

icaltimetype CalendarZone::UntilEndOf(const YearMonthDay& day) const {
  icaltimetype t = WallTime({day, 23 * kMinutesPerHour + 59});
  t.second = 59;
  if (floating()) return t;
  t.zone = zone_;
  return icaltime_convert_to_zone(t, icaltimezone_get_utc_timezone());
}

bool CalendarZone::IsOurZone(const icaltimezone* zone) const {
  if (zone == zone_) return true;
  if (floating()) return false;
  const char* id = icaltimezone_get_tzid(const_cast<icaltimezone*>(zone));
  if (id == nullptr) return false;
  const std::string_view tzid = id;
  return tzid == name_ || (tzid.size() > name_.size() && tzid.ends_with(name_) &&
                           tzid[tzid.size() - name_.size() - 1] == '/');
}

LocalMoment CalendarZone::ToLocal(const icaltimetype& time) const {
  if (time.is_date || time.zone == nullptr || IsOurZone(time.zone)) return MomentOf(time);
  if (!floating()) return MomentOf(icaltime_convert_to_zone(time, zone_));
  // The zone has no name here: the C library still knows the local time.
  const time_t seconds = icaltime_as_timet_with_zone(time, const_cast<icaltimezone*>(time.zone));
  std::tm local{};
  if (localtime_r(&seconds, &local) == nullptr) return MomentOf(time);
  return {{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday},
          local.tm_hour * kMinutesPerHour + local.tm_min};
}

icaltimetype CalendarDate(const YearMonthDay& day) {
  icaltimetype t = icaltime_null_date();
  t.year = day.year;
  t.month = day.month;
  t.day = day.day;
  return t;
}

}  // namespace yk
