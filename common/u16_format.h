// u16_format.h — the program's fixed texts with numbers and words filled in.
//
// Format16(u"%d年%d月%d日", {2004, 5, 1}) gives u"2004年5月1日".  "%d" takes the next
// argument as a decimal integer, "%s" the next as text, "%%" is one "%".  A placeholder
// without an argument of its kind left, or any other "%" sequence, is copied as it stands.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace yk {

class FormatArg {
 public:
  FormatArg(int value) : number_(value), isText_(false) {}  // NOLINT(google-explicit-constructor)
  FormatArg(std::u16string_view text) : text_(text), isText_(true) {}    // NOLINT
  FormatArg(const char16_t* text) : text_(text), isText_(true) {}        // NOLINT
  FormatArg(const std::u16string& text) : text_(text), isText_(true) {}  // NOLINT

  bool isText() const { return isText_; }
  int number() const { return number_; }
  std::u16string_view text() const { return text_; }

 private:
  int number_ = 0;
  std::u16string_view text_;
  bool isText_;
};

[[nodiscard]] std::u16string Format16(std::u16string_view format,
                                      std::initializer_list<FormatArg> args);

// A decimal number as UTF-16 digits (with "-" when negative).
[[nodiscard]] std::u16string Decimal16(int value);

}  // namespace yk
