// area_choice.h — the area dialog's fields and rules (template 3008, "天気地域の設定"),
// without widgets.
//
// On start the area list is read and the stored area and city are selected (each only when
// it is in the list).  Choosing another area lists its cities and selects the first.  With
// an area and a city selected, the label is "%s：%s" (area, city) and the address "%s%s"
// (base address, page name); with either missing both are empty.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "plugins/tenki/area_list.h"

namespace yk::tenki {

class AreaChoice {
 public:
  // Reads the list; false when the file can't be opened (the lists stay empty).
  [[nodiscard]] bool Open(const std::filesystem::path& listFile);
  // As Open, from a list already read.
  void Use(AreaList list) { list_ = std::move(list); }

  void Start(int area, int city);
  void SelectArea(int area);
  void SelectCity(int city);

  std::vector<std::u16string> AreaNames() const;
  std::vector<std::u16string> CityNames() const;  // of the selected area
  int area() const { return area_; }              // -1 = none
  int city() const { return city_; }              // -1 = none
  std::u16string label() const;
  std::u16string url() const;

 private:
  const Area* SelectedArea() const;

  AreaList list_;
  int area_ = -1;
  int city_ = -1;
};

}  // namespace yk::tenki
