// text_codec.h — conversions between the program's UTF-16 text and UTF-8 / the device
// code page (CP932, Shift-JIS) used by old files and by the regular-expression engine.
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);

// Unconvertible characters become '?' (CP932) or U+FFFD (UTF-16); never fails.
std::string Utf16ToCp932(std::u16string_view text);
std::u16string Cp932ToUtf16(std::string_view bytes);

}  // namespace platform
