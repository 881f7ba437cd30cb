// forecast_text.h — the text the weather window shows for a forecast record.
//
// Line by line (each ending in a line feed):
//   (empty)
//   <area label>%d月%d～%d日の天気予報        month, today's day, the last entry's day
//   　今日の予報：<today's weather>
//   　<rain-probability text>                 one line per text
//   (empty)
//   　%d日：<weather>                          tomorrow
//   (empty)
//   　%d日：<weather>                          the day after tomorrow and the four after
//   　　　　最高/最低気温 %d / %d度 降水確率 %d%%   ("　　　　降水確率 %d%%" when a
//                                              temperature is unknown)
//   (empty)
#pragma once

#include <string>
#include <string_view>

#include "plugins/tenki/forecast_record.h"

namespace yk::tenki {

std::u16string ForecastText(const ForecastRecord& record, std::u16string_view areaLabel);

}  // namespace yk::tenki
