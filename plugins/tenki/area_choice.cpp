#include "plugins/tenki/area_choice.h"

namespace yk::tenki {

bool AreaChoice::Open(const std::filesystem::path& listFile) {
  auto list = ReadAreaList(listFile);
  list_ = list ? std::move(*list) : AreaList{};
  return list.has_value();
}

const Area* AreaChoice::SelectedArea() const {
  return area_ >= 0 && size_t(area_) < list_.areas.size() ? &list_.areas[size_t(area_)] : nullptr;
}

void AreaChoice::Start(int area, int city) {
  area_ = -1;
  city_ = -1;
  if (area < 0 || size_t(area) >= list_.areas.size()) return;
  area_ = area;
  SelectCity(city);
}

void AreaChoice::SelectArea(int area) {
  area_ = area >= 0 && size_t(area) < list_.areas.size() ? area : -1;
  city_ = -1;
  SelectCity(0);
}

void AreaChoice::SelectCity(int city) {
  const Area* area = SelectedArea();
  city_ = area != nullptr && city >= 0 && size_t(city) < area->cities.size() ? city : -1;
}

std::vector<std::u16string> AreaChoice::AreaNames() const {
  std::vector<std::u16string> names;
  for (const Area& area : list_.areas) names.push_back(area.name);
  return names;
}

std::vector<std::u16string> AreaChoice::CityNames() const {
  std::vector<std::u16string> names;
  if (const Area* area = SelectedArea())
    for (const City& city : area->cities) names.push_back(city.name);
  return names;
}

std::u16string AreaChoice::label() const {
  const Area* area = SelectedArea();
  return area != nullptr && city_ >= 0 ? CityLabel(*area, area->cities[size_t(city_)]) : u"";
}

std::u16string AreaChoice::url() const {
  const Area* area = SelectedArea();
  return area != nullptr && city_ >= 0 ? CityAddress(list_, area->cities[size_t(city_)]) : u"";
}

}  // namespace yk::tenki
