// ical_time.h — times of iCalendar files (RFC 5545, through libical) and the organizer's
// local wall times.
//
// The organizer stores wall times without a zone: they are the machine's local time.  A
// calendar file names that zone with TZID and carries its VTIMEZONE ("Asia/Tokyo", the
// zone's plain name, which other programs know); when the zone can't be told the file
// uses floating times, which every program reads as its own local time.  Read times in
// any zone (a TZID, UTC "Z", floating) come back as local wall times, to the minute.
#pragma once

#include <libical/ical.h>

#include <string>
#include <string_view>

#include "common/schedule_occurrences.h"

namespace yk {

// Makes libical report errors as values instead of ending the program.  Idempotent.
void PrepareCalendarLibrary();

// The machine's zone by name: the TZ variable, else /etc/timezone, else the zone file that
// /etc/localtime links to.  Empty when none names a zone libical knows.
[[nodiscard]] std::string SystemZoneName();

class CalendarZone {
 public:
  // `name`: a zone name ("Asia/Tokyo", "UTC"); empty or unknown: floating times.
  explicit CalendarZone(std::string_view name);

  [[nodiscard]] bool floating() const { return zone_ == nullptr; }
  [[nodiscard]] bool utc() const;
  [[nodiscard]] const std::string& name() const { return name_; }

  // The zone's VTIMEZONE with TZID its plain name (owned by the caller); null for floating
  // times and UTC, which need none.
  [[nodiscard]] icalcomponent* NewTimezoneComponent() const;

  // A property (DTSTART, DTEND) holding a local wall time: with TZID, in UTC or floating.
  [[nodiscard]] icalproperty* NewTimeProperty(icalproperty_kind kind,
                                              const LocalMoment& moment) const;
  // The end of a local day for a rule's UNTIL: in UTC when the zone is known (RFC 5545
  // asks so for times with a TZID), floating otherwise.
  [[nodiscard]] icaltimetype UntilEndOf(const YearMonthDay& day) const;

  // A time of a calendar file as a local wall time (a date stays a date at 0:00).
  [[nodiscard]] LocalMoment ToLocal(const icaltimetype& time) const;

 private:
  [[nodiscard]] bool IsOurZone(const icaltimezone* zone) const;

  std::string name_;
  icaltimezone* zone_ = nullptr;  // libical's built-in copy, owned by libical
};

// A date as an iCalendar DATE value.
[[nodiscard]] icaltimetype CalendarDate(const YearMonthDay& day);

}  // namespace yk
