// decimal_text.h — reading the signed decimal numbers of the data files' fixed-width
// fields, as the C library's string-to-integer conversion reads them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace yk {

// Optional leading white space and sign, then digits up to the first non-digit; no digits
// read as 0.  Values beyond 32 bits are clamped.
[[nodiscard]] inline int32_t ReadDecimal(std::u16string_view field) {
  std::size_t i = 0;
  while (i < field.size() && (field[i] == u' ' || (field[i] >= u'\t' && field[i] <= u'\r'))) ++i;
  bool negative = false;
  if (i < field.size() && (field[i] == u'-' || field[i] == u'+')) {
    negative = field[i] == u'-';
    ++i;
  }
  long long value = 0;
  for (; i < field.size() && field[i] >= u'0' && field[i] <= u'9'; ++i) {
    value = std::min(value * 10 + (field[i] - u'0'), 0x80000000LL);
  }
  if (negative) value = -value;
  return static_cast<int32_t>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

}  // namespace yk
