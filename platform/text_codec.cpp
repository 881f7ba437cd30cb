#include "platform/text_codec.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace platform {
namespace {

// Converts with iconv, replacing each unconvertible input unit with `replacement`.
template <typename Out>
Out Convert(const char* to, const char* from, const char* in, size_t inBytes, size_t unit,
            const Out& replacement) {
  Out result;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return result;
  std::vector<char> buffer(4096);
  char* src = const_cast<char*>(in);
  size_t left = inBytes;
  while (left > 0) {
    char* dst = buffer.data();
    size_t room = buffer.size();
    size_t rc = iconv(cd, &src, &left, &dst, &room);
    result.append(reinterpret_cast<const typename Out::value_type*>(buffer.data()),
                  (buffer.size() - room) / sizeof(typename Out::value_type));
    if (rc == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL: skip one unit of input and put the replacement in its place.
      size_t skip = left < unit ? left : unit;
      src += skip;
      left -= skip;
      result += replacement;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return result;
}

}  // namespace

std::string Utf16ToUtf8(std::u16string_view text) {
  return Convert<std::string>("UTF-8", "UTF-16LE", reinterpret_cast<const char*>(text.data()),
                              text.size() * 2, 2, std::string("\xEF\xBF\xBD"));
}

std::u16string Utf8ToUtf16(std::string_view text) {
  return Convert<std::u16string>("UTF-16LE", "UTF-8", text.data(), text.size(), 1,
                                 std::u16string(u"\uFFFD"));
}

std::string Utf16ToCp932(std::u16string_view text) {
  return Convert<std::string>("CP932", "UTF-16LE", reinterpret_cast<const char*>(text.data()),
                              text.size() * 2, 2, std::string("?"));
}

std::u16string Cp932ToUtf16(std::string_view bytes) {
  return Convert<std::u16string>("UTF-16LE", "CP932", bytes.data(), bytes.size(), 1,
                                 std::u16string(u"\uFFFD"));
}

}  // namespace platform
