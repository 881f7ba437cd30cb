// clock.h — the local clock, which tests replace with a fixed time.
#pragma once

#include <optional>

namespace platform {

struct LocalTime {
  int year = 0, month = 0, day = 0;  // month 1..12
  int hour = 0, minute = 0, second = 0;
  int weekday = 0;  // 0 Sunday .. 6 Saturday
};

// The current local time, or the override when one is set.
LocalTime Now();

// Tests fix the clock with a value and give it back to the system with std::nullopt.
void SetClockOverride(std::optional<LocalTime> fixed);

}  // namespace platform
