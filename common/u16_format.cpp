// u16_format.cpp — "%d" and "%s" filled into UTF-16 texts.
#include "common/u16_format.h"

namespace yk {

std::u16string Decimal16(int value) {
  std::u16string digits;
  long long rest = value;
  const bool negative = rest < 0;
  if (negative) rest = -rest;
  do {
    digits.insert(digits.begin(), char16_t(u'0' + rest % 10));
    rest /= 10;
  } while (rest != 0);
  if (negative) digits.insert(digits.begin(), u'-');
  return digits;
}

std::u16string Format16(std::u16string_view format, std::initializer_list<FormatArg> args) {
  std::u16string out;
  out.reserve(format.size() + 16);
  const FormatArg* next = args.begin();
  for (std::size_t i = 0; i < format.size(); ++i) {
    const char16_t c = format[i];
    if (c != u'%' || i + 1 == format.size()) {
      out.push_back(c);
      continue;
    }
    const char16_t kind = format[i + 1];
    if (kind == u'%') {
      out.push_back(u'%');
      ++i;
    } else if ((kind == u'd' || kind == u's') && next != args.end() &&
               next->isText() == (kind == u's')) {
      out += next->isText() ? std::u16string(next->text()) : Decimal16(next->number());
      ++next;
      ++i;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

}  // namespace yk
