// Any bytes as a daycolor.dat file: every day reads as a colour number 0..9.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "plugins/sched/day_colour.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (int number : yk::sched::ParseDayColours(std::span(data, size)))
    if (number < 0 || number >= yk::sched::kDayColourCount) std::abort();
  return 0;
}
