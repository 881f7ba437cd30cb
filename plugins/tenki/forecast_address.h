// forecast_address.h — the address of a forecast page, split for the download.
//
// The address must hold "http://" (or "https://"); the text after it must hold a '/' and
// must not end in one.  The server is the text up to that first '/', the page's path the
// rest from it.  The server may name a port ("host:8080"; 80 for http, 443 for https
// otherwise).  Anything else is not a usable address.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace yk::tenki {

struct ForecastAddress {
  std::string host;  // UTF-8
  uint16_t port = 80;
  std::string path;  // from the first '/', bytes outside printable ASCII percent-encoded
  bool secure = false;
  friend bool operator==(const ForecastAddress&, const ForecastAddress&) = default;
};

std::optional<ForecastAddress> SplitForecastAddress(std::u16string_view url);

}  // namespace yk::tenki
