// make_pictures — draws every picture the program ships, reproducibly (no randomness, one
// font), into an output folder laid out like the program folder:
//
//   data/tavik.dat          the current theme: a 240 x 400 24-bit BMP (the light theme)
//   data/icon.bmp           the default icon image, 225 x 90
//   theme/light.bmp         the themes the user can choose from, each a full parts sheet
//   theme/dark.bmp
//   plugin/tvk_sched.dat    the schedule view's skin, 160 x 100
//   plugin/tvk_search.dat   the search window's picture, 170 x 150
//   plugin/tvk_tenki.dat    the weather window's button labels, 120 x 20
//   plugin/tvk_tenki.lst    the weather window's area list (text, not a picture)
//   desktop/48x48/yomitoki.png, desktop/256x256/yomitoki.png
//                           the program's icon in the desktop's menu (installed by the package)
//
// Usage: make_pictures OUTPUT_FOLDER
//
// Regions of the parts sheet (x, y, w, h; top-down).  Glyphs that are copied or multiplied
// onto white are dark ink on white in every theme; "multiply" below is blend mode 6.
//
//   x    y    w    h    what
//   0    0    20   20   window: plugin button (plain copy)
//   30   0    30   20   window: title fill of other windows, tiled from x = 20 to w - 40
//   70   0    40   20   window: maximise (left half) and close (right half) buttons
//   120  0    30   20   window: title fill of the active window (the title text is black)
//   160  0    10   10   window: resize grip; right 2 columns and bottom 2 rows are black
//   0    30   225  90   the icon image at full size (the user's icon.bmp is merged here)
//   0    120  150  60   the icon image reduced to two thirds
//   40   190  5    10   date picker: month cell mark (a tick on the cell's right column)
//   51   190  5    10   date picker: year cell mark
//   5w   200  5    10   date picker: weekday letter w (0 Sunday .. 6 Saturday) on the header
//   35   200  15   10   date picker: weekday header background
//   0    210  20   20   date picker: red day tile (multiply): holiday colour 1, Sundays
//   20   210  20   20   date picker: blue day tile (multiply): holiday colour 2, Saturdays
//   40   210  20   20   date picker: green day tile (multiply): holiday colour 3
//   5d   230  5    20   digit d (0..9), 4 x 9 on rows 6..14: date picker and time picker
//   50   230  5    20   date picker: strip start cap (before 1975, before month 1)
//   55   230  5    20   date picker: strip end cap (after 2036, after month 12)
//   60   230  3    20   time picker: hour-minute separator
//   70   230  20   20   schedule view: the piece between the previous and next day buttons
//   0    250  90   90   time picker: clock face (the hand is drawn over it, colour 0x555555)
//   90   250  20   10   time picker: AM indicator
//   90   260  20   10   time picker: PM indicator
//   120  250  30   90   time picker: day picture (hours 7..19)
//   150  250  30   90   time picker: night picture
//   0    340  40   20   button background: schedule tab (inactive), weather update and apply
//   40   340  40   20   button background: schedule tab (active)
//   80   340  40   20   button background: new schedule
//   160  340  20   20   button background: the small help buttons (search, weather)
//   180  340  20   20   schedule view: previous day button
//   200  340  20   20   schedule view: next day button
//
// Cells of plugin/tvk_sched.dat (160 x 100), dark ink on white:
//   (0, 20) 120 x 20 button labels 予定 仕事 新規 (multiplied over the button backgrounds);
//   row 60: large digits (5d, 60) 5 x 9, date separator (61, 60), all-day (85, 60),
//   every-day (100, 60) and weekly (115, 60) marks 15 x 9;
//   row 70: small digits (4d, 70) 4 x 9, month (40, 70), day (45, 70) and year (51, 70)
//   marks, time separator (56, 70) 3 x 9, range mark (58, 70) 6 x 9, every mark (66, 70);
//   row 80: weekday names (5w, 80) 5 x 9, bracket pair (35, 80) 15 x 9 whose right
//   5 columns (45, 80) are the closing bracket.
// plugin/tvk_search.dat (170 x 150): (0, 0) 20 x 20 help glyph (multiplied over the small
//   button background), (20, 0) 150 x 150 the window's picture.
// plugin/tvk_tenki.dat (120 x 20): labels 更新 (0..39), 適用 (40..79), help (80..99),
//   multiplied over the button backgrounds.
#include <QGuiApplication>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "tools/make_pictures/picture_kit.h"
#include "tools/make_pictures/pictures.h"

namespace {

namespace fs = std::filesystem;
using namespace yk::pictures;

bool Write(const QImage& image, const fs::path& path) {
  if (WriteBmp(image, path)) return true;
  std::fprintf(stderr, "Cannot write %s\n", path.string().c_str());
  return false;
}

// PNG for the desktop's icon theme (transparency kept).
bool WritePng(const QImage& image, const fs::path& path) {
  if (image.save(QString::fromStdString(path.string()), "PNG")) return true;
  std::fprintf(stderr, "Cannot write %s\n", path.string().c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "Usage: %s OUTPUT_FOLDER\n", argv[0]);
    return 1;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);

  const fs::path out = argv[1];
  std::error_code error;
  for (const char* folder : {"data", "theme", "plugin", "desktop/48x48", "desktop/256x256"}) {
    fs::create_directories(out / folder, error);
    if (error) {
      std::fprintf(stderr, "Cannot create %s: %s\n", (out / folder).string().c_str(),
                   error.message().c_str());
      return 1;
    }
  }

  const QImage icon = IconImage();
  const QImage light = PartsSheet(LightTheme(), icon);
  const QImage dark = PartsSheet(DarkTheme(), icon);
  const bool ok = Write(light, out / "data" / "tavik.dat") &&
                  Write(icon, out / "data" / "icon.bmp") &&
                  Write(light, out / "theme" / LightTheme().fileName) &&
                  Write(dark, out / "theme" / DarkTheme().fileName) &&
                  Write(ScheduleSkin(), out / "plugin" / "tvk_sched.dat") &&
                  Write(SearchSkin(), out / "plugin" / "tvk_search.dat") &&
                  Write(WeatherSkin(), out / "plugin" / "tvk_tenki.dat") &&
                  WritePng(AppIcon(48), out / "desktop" / "48x48" / "yomitoki.png") &&
                  WritePng(AppIcon(256), out / "desktop" / "256x256" / "yomitoki.png");
  if (!WriteAreaList(out / "plugin" / "tvk_tenki.lst")) {
    std::fprintf(stderr, "Cannot write %s\n", (out / "plugin" / "tvk_tenki.lst").string().c_str());
    return 1;
  }
  return ok ? 0 : 1;
}
