#include "plugins/tenki/area_list.h"

#include "plugins/tenki/ansi_lines.h"

namespace yk::tenki {
namespace {

constexpr std::u16string_view kBaseMarker = u"baseurl ";
constexpr std::u16string_view kAreaMarker = u"category:";
constexpr std::u16string_view kCityMarker = u"html ";

bool Holds(std::u16string_view line, std::u16string_view marker) {
  return line.find(marker) != std::u16string_view::npos;
}

class AreaListReader {
 public:
  void Take(std::u16string_view line) {
    if (!haveBase_) {
      const size_t at = line.find(kBaseMarker);
      if (at == std::u16string_view::npos) return;
      std::u16string_view base = line.substr(at + kBaseMarker.size());
      while (!base.empty() && (base.back() == u' ' || base.back() == u'\t')) base.remove_suffix(1);
      list_.baseUrl = base;
      haveBase_ = true;
      return;
    }
    if (!line.empty() && Holds(line, kAreaMarker)) {
      ignoring_ = list_.areas.size() >= kMaxAreas;
      if (!ignoring_) list_.areas.push_back({std::u16string(line.substr(line.find(u':') + 1)), {}});
      return;
    }
    if (Holds(line, kCityMarker)) {
      if (list_.areas.empty() || ignoring_) return;
      auto& cities = list_.areas.back().cities;
      if (cities.size() >= kMaxCitiesPerArea) return;
      const size_t blank = line.find(u' ');  // there is one: the marker ends in it
      cities.push_back(
          {std::u16string(line.substr(0, blank)), std::u16string(line.substr(blank + 1))});
    }
  }
  AreaList Finish() { return std::move(list_); }

 private:
  AreaList list_;
  bool haveBase_ = false;
  bool ignoring_ = false;  // inside an area past the tenth
};

}  // namespace

AreaList ParseAreaList(std::string_view bytes) {
  AreaListReader reader;
  ForEachAnsiLineInBytes(bytes, [&](std::u16string_view line) {
    reader.Take(line);
    return true;
  });
  return reader.Finish();
}

std::optional<AreaList> ReadAreaList(const std::filesystem::path& file) {
  AreaListReader reader;
  if (!ForEachAnsiLine(file, [&](std::u16string_view line) {
        reader.Take(line);
        return true;
      }))
    return std::nullopt;
  return reader.Finish();
}

std::u16string CityLabel(const Area& area, const City& city) {
  return area.name + u"：" + city.name;
}

std::u16string CityAddress(const AreaList& list, const City& city) {
  return list.baseUrl + city.page;
}

}  // namespace yk::tenki
