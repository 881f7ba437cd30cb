// line_breaks.h — line breaks between the edit boxes (LF) and the stored texts (CR LF).
#pragma once

#include <string>
#include <string_view>

namespace yk {

// The text with every CR taken out.
[[nodiscard]] inline std::u16string WithoutCarriageReturns(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char16_t c : text)
    if (c != u'\r') out.push_back(c);
  return out;
}

// The text with every LF written as CR LF (other characters, CRs included, as they stand).
[[nodiscard]] inline std::u16string LineFeedsAsCrLf(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size() + text.size() / 16);
  for (char16_t c : text) {
    if (c == u'\n') out.push_back(u'\r');
    out.push_back(c);
  }
  return out;
}

}  // namespace yk
