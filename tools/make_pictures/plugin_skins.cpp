// plugin_skins.cpp — the plugins' own pictures: the schedule view's glyph skin, the search
// window's picture and the weather window's button labels.  Everything the plugins
// multiply over a button background is dark ink on white.
#include <QPainterPath>
#include <cmath>

#include "tools/make_pictures/picture_kit.h"
#include "tools/make_pictures/pictures.h"

namespace yk::pictures {
namespace {

const QColor kInk(32, 32, 32);
const QColor kMarkInk(70, 70, 70);
const QColor kSundayInk(200, 30, 30);
const QColor kSaturdayInk(30, 60, 200);

// Labels centred in consecutive cells of `width` pixels on a row `height` high.
void DrawLabels(QPainter& p, int x, int y, int width, int height,
                std::initializer_list<const char16_t*> labels) {
  for (const char16_t* label : labels) {
    DrawCentredText(p, QRect(x, y, width, height), QString::fromUtf16(label), JapaneseFont(12),
                    kInk);
    x += width;
  }
}

// A loop arrow: "again and again".
const PixelGlyph kRepeat = {".###.#", "#...##", "#..###", "#.....", "#...#.", ".###.."};
const PixelGlyph kAll = {"..#..", ".#.#.", "#...#", ".###.", "..#..", ".###.", "#####"};

}  // namespace

QImage ScheduleSkin() {
  QImage image = WhiteImage(160, 100);
  QPainter p(&image);
  // Toolbar labels: schedule tab, work tab, new schedule.
  DrawLabels(p, 0, 20, 40, 20, {u"予定", u"仕事", u"新規"});

  // Row 60: large digits, the date separator and the repetition marks.
  for (int d = 0; d < 10; ++d) DrawPixelGlyph(image, 5 * d, 60, LargeDigit(d), kInk);
  // The separator is followed by a digit 3 pixels later: a slash 3 wide.
  DrawPixelGlyph(image, 61, 61, {"..#", "..#", ".#.", ".#.", ".#.", "#..", "#.."}, kMarkInk);
  // All day "全日", every day (a loop arrow and "日"), weekly (the loop arrow alone: the
  // weekday in brackets follows it).
  DrawPixelGlyph(image, 86, 61, kAll, kInk);
  DrawPixelGlyph(image, 92, 61, DayKanji(), kInk);
  DrawPixelGlyph(image, 101, 61, kRepeat, kInk);
  DrawPixelGlyph(image, 108, 61, DayKanji(), kInk);
  DrawPixelGlyph(image, 118, 61, kRepeat, kInk);

  // Row 70: small digits and the date and time marks.
  for (int d = 0; d < 10; ++d) DrawPixelGlyph(image, 4 * d, 71, SmallDigit(d), kInk);
  DrawPixelGlyph(image, 40, 71, MonthKanji(), kMarkInk);
  DrawPixelGlyph(image, 45, 71, DayKanji(), kMarkInk);
  DrawPixelGlyph(image, 51, 71, YearKanji(), kMarkInk);
  // The time separator's right column is the range mark's left column: keep both clear.
  DrawPixelGlyph(image, 57, 71, Letter(':'), kInk);
  DrawPixelGlyph(image, 59, 71, {"....", "....", "...#.", "#####", "...#.", "....", "...."}, kInk);
  DrawPixelGlyph(image, 66, 71, Letter('*'), kInk);

  // Row 80: weekday names and the brackets around one of them (or around a count).
  for (int w = 0; w < 7; ++w) {
    const QColor ink = w == 0 ? kSundayInk : w == 6 ? kSaturdayInk : kInk;
    DrawPixelGlyph(image, 5 * w, 81, WeekdayKanji(w), ink);
  }
  DrawPixelGlyph(image, 36, 81, Letter('('), kMarkInk);
  DrawPixelGlyph(image, 46, 81, Letter(')'), kMarkInk);
  return image;
}

QImage SearchSkin() {
  QImage image = WhiteImage(170, 150);
  QPainter p(&image);
  // The help glyph, multiplied over a button background by the plugin.
  DrawCentredText(p, QRect(0, 0, 20, 20), QStringLiteral("？"), JapaneseFont(14, true), kInk);

  // The window's picture: a page under a magnifying glass, and the plugin's name.
  p.setRenderHint(QPainter::Antialiasing, true);
  const QRectF page(52, 14, 62, 80);
  p.setPen(QPen(QColor(150, 150, 150), 1));
  p.setBrush(QColor(252, 252, 246));
  p.drawRect(page);
  p.setPen(QPen(QColor(190, 190, 200), 2));
  for (int i = 0; i < 7; ++i) {
    const double y = 26 + 10 * i;
    p.drawLine(QPointF(60, y), QPointF(i % 3 == 2 ? 88 : 106, y));
  }
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 230, 120, 200));
  p.drawRect(QRectF(72, 42, 30, 7));
  const QPointF lens(96, 58);
  p.setBrush(QColor(200, 230, 255, 110));
  p.setPen(QPen(QColor(60, 80, 120), 5));
  p.drawEllipse(lens, 20, 20);
  p.setPen(QPen(QColor(120, 80, 40), 8, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(111, 73), QPointF(130, 92));
  p.setRenderHint(QPainter::Antialiasing, false);
  DrawCentredText(p, QRect(20, 104, 150, 18), QString::fromUtf16(u"検索・置換え屋"),
                  JapaneseFont(14, true), kInk);
  DrawCentredText(p, QRect(20, 124, 150, 16), QString::fromUtf16(u"ダブルタップで検索"),
                  JapaneseFont(12), QColor(100, 100, 100));
  return image;
}

QImage WeatherSkin() {
  QImage image = WhiteImage(120, 20);
  QPainter p(&image);
  DrawLabels(p, 0, 0, 40, 20, {u"更新", u"適用"});
  DrawCentredText(p, QRect(80, 0, 20, 20), QStringLiteral("？"), JapaneseFont(14, true), kInk);
  return image;
}

}  // namespace yk::pictures
