// pictures.h — the pictures the program ships: the parts sheet in each theme, the default
// icon image and the plugins' skins; and the weather plugin's area list.
#pragma once

#include <QColor>
#include <QImage>
#include <filesystem>
#include <string>

namespace yk::pictures {

// The colours that set one theme apart from another.  Glyphs that the program multiplies
// or copies onto white (digits, marks, labels) are always dark ink on white, whatever the
// theme, so they read the same on every sheet.
struct Theme {
  const char* fileName;  // in the theme folder
  QColor titleActiveTop, titleActiveBottom;
  QColor titleInactiveTop, titleInactiveBottom;
  QColor titleEdge;  // the line under the title strip
  QColor buttonTop, buttonBottom, buttonBorder, buttonIcon;
  QColor tabActiveTop, tabActiveBottom;
  QColor newTop, newBottom;
  QColor headerBack;  // weekday header of the date picker
  QColor sundayInk, saturdayInk, weekdayInk;
  QColor tileRed, tileBlue, tileGreen;
  QColor clockRim, clockFace, clockTick;
  QColor amBack, pmBack;
};

const Theme& LightTheme();
const Theme& DarkTheme();

// The default icon image: 225 x 90, a grid of 15 x 15 stamps.
QImage IconImage();

// The 240 x 400 parts sheet of a theme, with the icon image merged in the way the host
// merges a user's icon image (full size at (0, 30), reduced to two thirds at (0, 120)).
QImage PartsSheet(const Theme& theme, const QImage& icon);

// The plugins' skins.
QImage ScheduleSkin();  // 160 x 100
QImage SearchSkin();    // 170 x 150
QImage WeatherSkin();   // 120 x 20

// plugin/tvk_tenki.lst: its bytes (CP932, CR LF), and the file written.
std::string AreaListFile();
[[nodiscard]] bool WriteAreaList(const std::filesystem::path& path);

// The program's icon for the desktop (application menu, package), `size` x `size` with
// transparency.
QImage AppIcon(int size);

}  // namespace yk::pictures
