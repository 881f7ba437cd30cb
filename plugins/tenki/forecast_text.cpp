#include "plugins/tenki/forecast_text.h"

namespace yk::tenki {
namespace {

std::u16string Number(int32_t value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

std::u16string ForecastText(const ForecastRecord& record, std::u16string_view areaLabel) {
  const auto& days = record.days;
  std::u16string text = u"\n";
  text.append(areaLabel)
      .append(Number(record.month))
      .append(u"月")
      .append(Number(record.firstDay))
      .append(u"～")
      .append(Number(days[kForecastDays - 1].day))
      .append(u"日の天気予報\n");
  text.append(u"　今日の予報：").append(days[0].text).append(u"\n");
  for (const std::u16string& rain : record.rainTexts) text.append(u"　").append(rain).append(u"\n");
  text.append(u"\n");
  text.append(u"　").append(Number(days[1].day)).append(u"日：").append(days[1].text).append(u"\n");
  text.append(u"\n");
  for (int e = 2; e < kForecastDays; ++e) {
    const ForecastDay& day = days[size_t(e)];
    text.append(u"　").append(Number(day.day)).append(u"日：").append(day.text).append(u"\n");
    if (day.maximum == kUnknownTemperature || day.minimum == kUnknownTemperature) {
      text.append(u"　　　　降水確率 ").append(Number(day.rain)).append(u"%\n");
    } else {
      text.append(u"　　　　最高/最低気温 ")
          .append(Number(day.maximum))
          .append(u" / ")
          .append(Number(day.minimum))
          .append(u"度 降水確率 ")
          .append(Number(day.rain))
          .append(u"%\n");
    }
  }
  text.append(u"\n");
  return text;
}

}  // namespace yk::tenki
