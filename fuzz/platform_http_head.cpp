// Response heads from any web server: parsed or refused, never read past.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/http_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto head = platform::ParseHttpHead({reinterpret_cast<const char*>(data), size});
  if (head && (head->status < 0 || head->status > 999)) __builtin_trap();
  return 0;
}
