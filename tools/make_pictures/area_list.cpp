// area_list.cpp — the weather plugin's area list, plugin/tvk_tenki.lst: the forecast site's
// base address, then the areas of Japan, each with its cities and their page names.  The
// file is text in the device code page (CP932) with CR LF line ends; the lines before the
// base address are comments (they must not hold "baseurl" followed by a blank).
#include <fstream>

#include "platform/text_codec.h"
#include "tools/make_pictures/pictures.h"

namespace yk::pictures {
namespace {

struct ListedCity {
  const char* page;
  const char16_t* name;
};

struct ListedArea {
  const char16_t* name;
  std::initializer_list<ListedCity> cities;
};

const ListedArea kAreas[] = {
    {u"北海道",
     {{"sapporo", u"札幌"},
      {"hakodate", u"函館"},
      {"asahikawa", u"旭川"},
      {"kushiro", u"釧路"},
      {"obihiro", u"帯広"},
      {"abashiri", u"網走"},
      {"wakkanai", u"稚内"},
      {"muroran", u"室蘭"}}},
    {u"東北",
     {{"aomori", u"青森"},
      {"morioka", u"盛岡"},
      {"sendai", u"仙台"},
      {"akita", u"秋田"},
      {"yamagata", u"山形"},
      {"fukushima", u"福島"},
      {"hachinohe", u"八戸"},
      {"iwaki", u"いわき"}}},
    {u"関東",
     {{"tokyo", u"東京"},
      {"yokohama", u"横浜"},
      {"saitama", u"さいたま"},
      {"chiba", u"千葉"},
      {"mito", u"水戸"},
      {"utsunomiya", u"宇都宮"},
      {"maebashi", u"前橋"},
      {"hachioji", u"八王子"},
      {"odawara", u"小田原"},
      {"choshi", u"銚子"}}},
    {u"甲信越・北陸",
     {{"niigata", u"新潟"},
      {"nagano", u"長野"},
      {"kofu", u"甲府"},
      {"toyama", u"富山"},
      {"kanazawa", u"金沢"},
      {"fukui", u"福井"},
      {"matsumoto", u"松本"},
      {"joetsu", u"上越"}}},
    {u"東海",
     {{"nagoya", u"名古屋"},
      {"shizuoka", u"静岡"},
      {"gifu", u"岐阜"},
      {"tsu", u"津"},
      {"hamamatsu", u"浜松"},
      {"takayama", u"高山"}}},
    {u"近畿",
     {{"osaka", u"大阪"},
      {"kyoto", u"京都"},
      {"kobe", u"神戸"},
      {"nara", u"奈良"},
      {"otsu", u"大津"},
      {"wakayama", u"和歌山"},
      {"toyooka", u"豊岡"}}},
    {u"中国",
     {{"hiroshima", u"広島"},
      {"okayama", u"岡山"},
      {"matsue", u"松江"},
      {"tottori", u"鳥取"},
      {"yamaguchi", u"山口"},
      {"shimonoseki", u"下関"}}},
    {u"四国",
     {{"takamatsu", u"高松"},
      {"matsuyama", u"松山"},
      {"kochi", u"高知"},
      {"tokushima", u"徳島"},
      {"uwajima", u"宇和島"}}},
    {u"九州",
     {{"fukuoka", u"福岡"},
      {"kitakyushu", u"北九州"},
      {"saga", u"佐賀"},
      {"nagasaki", u"長崎"},
      {"kumamoto", u"熊本"},
      {"oita", u"大分"},
      {"miyazaki", u"宮崎"},
      {"kagoshima", u"鹿児島"}}},
    {u"沖縄",
     {{"naha", u"那覇"},
      {"nago", u"名護"},
      {"kumejima", u"久米島"},
      {"miyakojima", u"宮古島"},
      {"ishigakijima", u"石垣島"},
      {"yonaguni", u"与那国島"}}},
};

}  // namespace

std::string AreaListFile() {
  std::u16string text =
      u"; 天気予報の地域一覧 (そらもよう天気)\r\n"
      u"; 基準アドレスの行(baseurl)の後に、地域ごとに category:地域名 の行と\r\n"
      u"; その地域の都市の行(ページ名 都市名)を並べます。\r\n"
      u"\r\n"
      u"baseurl http://www.soramoyo.example.jp/yoho/\r\n";
  for (const ListedArea& area : kAreas) {
    text += u"\r\ncategory:";
    text += area.name;
    text += u"\r\n";
    for (const ListedCity& city : area.cities) {
      const std::string page = std::string(city.page) + ".html ";
      text += std::u16string(page.begin(), page.end());
      text += city.name;
      text += u"\r\n";
    }
  }
  return platform::Utf16ToCp932(text);
}

bool WriteAreaList(const std::filesystem::path& path) {
  const std::string bytes = AreaListFile();
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  return bool(out.flush());
}

}  // namespace yk::pictures
