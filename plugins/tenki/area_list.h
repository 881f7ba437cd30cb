// area_list.h — the weather plugin's area list, plugin/tvk_tenki.lst (text in CP932).
//
// Lines are skipped until one holds "baseurl "; the text after it is the base address of
// the forecast pages.  After that, a non-empty line holding "category:" opens a new area
// named by the text after its first ':' (at most kMaxAreas: later areas and their cities
// are ignored), and a line holding "html " adds a city to the area opened last (at most
// kMaxCitiesPerArea; such lines before the first area are ignored): the text before the
// first blank is the city's page name, the text after it the city's name.  A city's page
// is found at the base address followed by its page name.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace yk::tenki {

inline constexpr size_t kMaxAreas = 10;
inline constexpr size_t kMaxCitiesPerArea = 30;

struct City {
  std::u16string page;  // e.g. "tokyo.html"
  std::u16string name;  // e.g. "東京"
  friend bool operator==(const City&, const City&) = default;
};

struct Area {
  std::u16string name;
  std::vector<City> cities;
  friend bool operator==(const Area&, const Area&) = default;
};

struct AreaList {
  std::u16string baseUrl;
  std::vector<Area> areas;
};

AreaList ParseAreaList(std::string_view bytes);

// std::nullopt when the file can't be opened.
std::optional<AreaList> ReadAreaList(const std::filesystem::path& file);

// "%s：%s": the label the window shows above the forecast.
std::u16string CityLabel(const Area& area, const City& city);
// "%s%s": the address of the city's forecast page.
std::u16string CityAddress(const AreaList& list, const City& city);

}  // namespace yk::tenki
