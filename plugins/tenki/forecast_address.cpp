#include "plugins/tenki/forecast_address.h"

#include "platform/text_codec.h"

namespace yk::tenki {
namespace {

constexpr std::u16string_view kPlain = u"http://";
constexpr std::u16string_view kSecure = u"https://";

bool IsControlOrBlank(char16_t c) {
  return c <= 0x20 || c == 0x7F;
}

std::string PercentEncoded(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x80) {
      out += '%';
      out += kHex[b >> 4];
      out += kHex[b & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

std::optional<ForecastAddress> SplitForecastAddress(std::u16string_view url) {
  ForecastAddress address;
  const size_t plain = url.find(kPlain);
  const size_t secure = url.find(kSecure);
  std::u16string_view rest;
  if (secure != std::u16string_view::npos &&
      (plain == std::u16string_view::npos || secure < plain)) {
    address.secure = true;
    address.port = 443;
    rest = url.substr(secure + kSecure.size());
  } else if (plain != std::u16string_view::npos) {
    rest = url.substr(plain + kPlain.size());
  } else {
    return std::nullopt;
  }
  const size_t slash = rest.find(u'/');
  if (slash == std::u16string_view::npos || rest.back() == u'/') return std::nullopt;
  for (char16_t c : rest)
    if (IsControlOrBlank(c)) return std::nullopt;

  std::u16string_view server = rest.substr(0, slash);
  const size_t colon = server.rfind(u':');
  if (colon != std::u16string_view::npos) {
    const std::u16string_view digits = server.substr(colon + 1);
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    uint32_t port = 0;
    for (char16_t c : digits) {
      if (c < u'0' || c > u'9') return std::nullopt;
      port = port * 10 + uint32_t(c - u'0');
    }
    if (port == 0 || port > 65535) return std::nullopt;
    address.port = uint16_t(port);
    server = server.substr(0, colon);
  }
  if (server.empty()) return std::nullopt;
  address.host = platform::Utf16ToUtf8(server);
  address.path = PercentEncoded(platform::Utf16ToUtf8(rest.substr(slash)));
  return address;
}

}  // namespace yk::tenki
