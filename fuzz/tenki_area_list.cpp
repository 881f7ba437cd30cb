// Area lists as a user may edit them: read without a crash, within their limits.
#include <cstddef>
#include <cstdint>

#include "plugins/tenki/area_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace yk::tenki;
  const AreaList list = ParseAreaList({reinterpret_cast<const char*>(data), size});
  if (list.areas.size() > kMaxAreas) __builtin_trap();
  for (const Area& area : list.areas) {
    if (area.cities.size() > kMaxCitiesPerArea) __builtin_trap();
    for (const City& city : area.cities) (void)CityAddress(list, city), (void)CityLabel(area, city);
  }
  return 0;
}
