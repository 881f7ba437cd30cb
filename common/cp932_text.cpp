// cp932_text.cpp — exact conversions to and from the device code page.
#include "common/cp932_text.h"

#include <cstdio>

#include "platform/text_codec.h"

namespace yk {
namespace {

constexpr char16_t kReplacementCharacter = u'\uFFFD';

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Whether `bytes`, the conversion of `text`, read back as the same characters.
bool ReadsBackAs(std::u16string_view text, std::string_view bytes) {
  const std::u16string back = platform::Cp932ToUtf16(bytes);
  if (back.size() != text.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (Cp932ReadBackForm(text[i]) != back[i]) return false;
  }
  return true;
}

// The first character of `text` that the code page can't hold exactly.  Only called once
// the whole text failed, so the piecewise conversion runs on the slow path alone.
char32_t FirstInexactCharacter(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const bool pair =
        IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]);
    const std::u16string_view piece = text.substr(i, pair ? 2 : 1);
    if (!ReadsBackAs(piece, platform::Utf16ToCp932(piece))) {
      return pair ? 0x10000 + ((char32_t(piece[0]) - 0xD800) << 10) + (char32_t(piece[1]) - 0xDC00)
                  : char32_t(piece[0]);
    }
    i += piece.size();
  }
  return kReplacementCharacter;
}

}  // namespace

char16_t Cp932ReadBackForm(char16_t unit) {
  if (unit < u'\u00A2') return unit;  // the first typed form
  for (const Cp932FoldedForm& form : kCp932FoldedForms) {
    if (unit == form.typed) return form.read;
  }
  return unit;
}

Cp932Encoded EncodeCp932(std::u16string_view text) {
  Cp932Encoded out;
  out.bytes = platform::Utf16ToCp932(text);
  if (!ReadsBackAs(text, out.bytes)) {
    out.exact = false;
    out.offending = FirstInexactCharacter(text);
  }
  return out;
}

Cp932Decoded DecodeCp932(std::string_view bytes) {
  Cp932Decoded out;
  out.text = platform::Cp932ToUtf16(bytes);
  out.exact = out.text.find(kReplacementCharacter) == std::u16string::npos;
  return out;
}

std::u16string DescribeCharacter(char32_t character) {
  char number[16];
  std::snprintf(number, sizeof number, "U+%04X", unsigned(character));
  std::u16string out;
  const bool printable = character >= 0x20 && character != 0x7F &&
                         !(character >= 0x80 && character < 0xA0) &&
                         !(character >= 0xD800 && character <= 0xDFFF) && character <= 0x10FFFF;
  if (printable) {
    out += u"「";
    if (character >= 0x10000) {
      out.push_back(char16_t(0xD800 + ((character - 0x10000) >> 10)));
      out.push_back(char16_t(0xDC00 + ((character - 0x10000) & 0x3FF)));
    } else {
      out.push_back(char16_t(character));
    }
    out += u"」(";
  }
  for (const char* p = number; *p != '\0'; ++p) out.push_back(char16_t(*p));
  if (printable) out.push_back(u')');
  return out;
}

}  // namespace yk
