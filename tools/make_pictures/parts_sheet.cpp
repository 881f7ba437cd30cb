// parts_sheet.cpp — the 240 x 400 parts sheet in each theme.  The region list is at the
// head of make_pictures.cpp; the positions below are the same numbers.
#include <QLinearGradient>
#include <QPainterPath>
#include <QPolygon>
#include <cmath>
#include <vector>

#include "common/bitmap_ops.h"
#include "tools/make_pictures/picture_kit.h"
#include "tools/make_pictures/pictures.h"

namespace yk::pictures {
namespace {

const QColor kInk(32, 32, 32);  // glyphs: dark on white
const QColor kMarkInk(120, 120, 120);

const Theme kLight = {
    .fileName = "light.bmp",
    .titleActiveTop = QColor(214, 232, 255),
    .titleActiveBottom = QColor(160, 198, 242),
    .titleInactiveTop = QColor(242, 242, 242),
    .titleInactiveBottom = QColor(206, 206, 206),
    .titleEdge = QColor(120, 120, 120),
    .buttonTop = QColor(250, 250, 250),
    .buttonBottom = QColor(214, 214, 214),
    .buttonBorder = QColor(130, 130, 130),
    .buttonIcon = QColor(60, 60, 60),
    .tabActiveTop = QColor(255, 244, 200),
    .tabActiveBottom = QColor(255, 214, 120),
    .newTop = QColor(226, 250, 226),
    .newBottom = QColor(176, 226, 176),
    .headerBack = QColor(228, 228, 228),
    .sundayInk = QColor(200, 30, 30),
    .saturdayInk = QColor(30, 60, 200),
    .weekdayInk = QColor(60, 60, 60),
    .tileRed = QColor(255, 208, 208),
    .tileBlue = QColor(204, 220, 255),
    .tileGreen = QColor(204, 240, 204),
    .clockRim = QColor(90, 110, 140),
    .clockFace = QColor(255, 255, 255),
    .clockTick = QColor(80, 80, 80),
    .amBack = QColor(255, 224, 160),
    .pmBack = QColor(190, 206, 255),
};

// Darker chrome; the title fills stay light enough for the black title text, and button
// backgrounds light enough for the dark labels multiplied over them.
const Theme kDark = {
    .fileName = "dark.bmp",
    .titleActiveTop = QColor(250, 196, 110),
    .titleActiveBottom = QColor(214, 150, 60),
    .titleInactiveTop = QColor(170, 172, 178),
    .titleInactiveBottom = QColor(132, 134, 140),
    .titleEdge = QColor(40, 40, 44),
    .buttonTop = QColor(172, 174, 182),
    .buttonBottom = QColor(126, 128, 136),
    .buttonBorder = QColor(40, 40, 44),
    .buttonIcon = QColor(250, 250, 250),
    .tabActiveTop = QColor(255, 210, 130),
    .tabActiveBottom = QColor(226, 164, 70),
    .newTop = QColor(196, 222, 176),
    .newBottom = QColor(150, 186, 130),
    .headerBack = QColor(200, 202, 208),
    .sundayInk = QColor(190, 20, 20),
    .saturdayInk = QColor(20, 50, 180),
    .weekdayInk = QColor(40, 40, 44),
    .tileRed = QColor(255, 184, 184),
    .tileBlue = QColor(176, 196, 255),
    .tileGreen = QColor(180, 230, 180),
    .clockRim = QColor(40, 40, 44),
    .clockFace = QColor(246, 244, 236),
    .clockTick = QColor(40, 40, 44),
    .amBack = QColor(250, 200, 120),
    .pmBack = QColor(170, 186, 240),
};

// ---- Window chrome: rows 0..19 -------------------------------------------------------

void DrawPluginButton(QPainter& p, const Theme& t) {
  DrawBand(p, QRect(0, 0, 20, 20), t.titleInactiveTop, t.titleInactiveBottom);
  DrawButton(p, QRect(1, 1, 18, 18), t.buttonTop, t.buttonBottom, t.buttonBorder);
  // Two stacked window frames: "choose what this window shows".
  p.setPen(t.buttonIcon);
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRect(4, 4, 8, 7));
  p.fillRect(QRect(4, 4, 9, 2), t.buttonIcon);
  p.drawRect(QRect(7, 8, 8, 7));
  p.fillRect(QRect(8, 9, 7, 6), t.buttonTop);
  p.fillRect(QRect(7, 8, 9, 2), t.buttonIcon);
}

void DrawTitleFill(QPainter& p, int x, QColor top, QColor bottom, QColor edge) {
  DrawBand(p, QRect(x, 0, 30, 19), top, bottom);
  p.fillRect(QRect(x, 19, 30, 1), edge);
}

void DrawWindowButtons(QPainter& p, const Theme& t) {
  DrawBand(p, QRect(70, 0, 40, 20), t.titleInactiveTop, t.titleInactiveBottom);
  DrawButton(p, QRect(71, 1, 18, 18), t.buttonTop, t.buttonBottom, t.buttonBorder);
  DrawButton(p, QRect(91, 1, 18, 18), t.buttonTop, t.buttonBottom, t.buttonBorder);
  // Maximise: a window outline with a thick title bar.
  p.setPen(t.buttonIcon);
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRect(75, 5, 9, 9));
  p.fillRect(QRect(75, 5, 10, 2), t.buttonIcon);
  // Close: a cross two pixels thick.
  for (int i = 0; i < 8; ++i) {
    p.fillRect(QRect(96 + i, 6 + i, 2, 1), t.buttonIcon);
    p.fillRect(QRect(102 - i, 6 + i, 2, 1), t.buttonIcon);
  }
}

// The grip sits in the window's bottom-right corner over the black borders, so its right
// two columns and bottom two rows are black too.
void DrawResizeGrip(QImage& image, const Theme& t) {
  const int x0 = 160, y0 = 0;
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      QColor c = Qt::white;
      if (x >= 8 || y >= 8) {
        c = Qt::black;
      } else if ((x + y) % 3 == 1 && x + y >= 6) {
        c = t.buttonBorder;
      }
      image.setPixelColor(x0 + x, y0 + y, c);
    }
  }
}

// ---- Date picker and time picker glyphs: (0..89, 190..249) ------------------------------

// Digits are 4 x 9 in a 5 x 20 cell, rows 8..16, so the cell marks (strip rows 10..19)
// line up with their lower part.
constexpr int kDigitTop = 6;

void DrawCellMark(QImage& image, int x, int y, int height) {
  // A short ruler tick on the cell's right column: where one cell ends and the next begins.
  for (int r = 10 - height; r < 10; ++r) image.setPixelColor(x + 4, y + r, kMarkInk);
}

void DrawCap(QImage& image, int x, int y, bool start) {
  // A bracket that closes the strip: a bar two pixels thick with short serifs.
  const int bar = start ? x + 1 : x + 2;
  for (int r = 3; r < 18; ++r) {
    image.setPixelColor(bar, y + r, kInk);
    image.setPixelColor(bar + 1, y + r, kInk);
  }
  for (int c = 0; c < 2; ++c) {
    const int sx = start ? bar + 2 + c : bar - 1 - c;
    image.setPixelColor(sx, y + 3, kInk);
    image.setPixelColor(sx, y + 17, kInk);
  }
}

void DrawPickerGlyphs(QImage& image, QPainter& p, const Theme& t) {
  DrawCellMark(image, 40, 190, 5);  // month cell mark
  DrawCellMark(image, 51, 190, 7);  // year cell mark
  p.fillRect(QRect(35, 200, 15, 10), t.headerBack);
  for (int w = 0; w < 7; ++w) {
    p.fillRect(QRect(5 * w, 200, 5, 10), t.headerBack);
    const QColor ink = w == 0 ? t.sundayInk : w == 6 ? t.saturdayInk : t.weekdayInk;
    DrawPixelGlyph(image, 5 * w, 201, WeekdayKanji(w), ink);
  }
  const QColor tiles[] = {t.tileRed, t.tileBlue, t.tileGreen};
  for (int i = 0; i < 3; ++i) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath path;
    path.addRoundedRect(QRectF(20 * i + 0.5, 210.5, 19, 19), 3, 3);
    p.fillPath(path, tiles[i]);
    p.restore();
  }
  for (int d = 0; d < 10; ++d) DrawPixelGlyph(image, 5 * d, 230 + kDigitTop, LargeDigit(d), kInk);
  DrawCap(image, 50, 230, true);
  DrawCap(image, 55, 230, false);
  // The time separator, 3 x 20: a colon at the digits' height.
  p.fillRect(QRect(61, 230 + kDigitTop + 2, 1, 2), kInk);
  p.fillRect(QRect(61, 230 + kDigitTop + 6, 1, 2), kInk);
}

// The piece between the schedule view's previous-day and next-day buttons.
void DrawDayPiece(QPainter& p, const Theme& t) {
  DrawButton(p, QRect(70, 230, 20, 20), t.buttonTop, t.buttonBottom, t.buttonBorder);
  DrawCentredText(p, QRect(70, 230, 20, 20), QStringLiteral("日"), JapaneseFont(12), t.buttonIcon);
}

// ---- Time picker pictures: (0..179, 250..339) -------------------------------------------

void DrawClockFace(QPainter& p, const Theme& t) {
  p.save();
  p.translate(0, 250);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QPointF centre(45, 45);
  p.setPen(QPen(t.clockRim, 2));
  p.setBrush(t.clockFace);
  p.drawEllipse(centre, 43, 43);
  for (int h = 0; h < 12; ++h) {
    const double a = h * M_PI / 6;
    const bool quarter = h % 3 == 0;
    const double inner = quarter ? 35 : 38;
    p.setPen(QPen(t.clockTick, quarter ? 2 : 1));
    p.drawLine(QPointF(45 + inner * std::sin(a), 45 - inner * std::cos(a)),
               QPointF(45 + 41 * std::sin(a), 45 - 41 * std::cos(a)));
  }
  const struct {
    const char* text;
    double x, y;
  } numbers[] = {{"12", 45, 21}, {"3", 70, 45}, {"6", 45, 69}, {"9", 20, 45}};
  for (const auto& n : numbers) {
    DrawCentredText(p, QRect(int(n.x) - 8, int(n.y) - 6, 16, 12), QString::fromLatin1(n.text),
                    JapaneseFont(10), t.clockTick);
  }
  p.setPen(Qt::NoPen);
  p.setBrush(t.clockTick);
  p.drawEllipse(centre, 2.5, 2.5);
  p.restore();
}

void DrawMeridiem(QImage& image, QPainter& p, int y, QColor back, char first) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  QPainterPath path;
  path.addRoundedRect(QRectF(90.5, y + 0.5, 19, 9), 2, 2);
  p.fillPath(path, back);
  p.restore();
  DrawPixelGlyph(image, 95, y + 1, Letter(first), kInk);
  DrawPixelGlyph(image, 100, y + 1, Letter('M'), kInk);
}

void DrawDayPicture(QPainter& p) {
  const QRect box(120, 250, 30, 90);
  DrawBand(p, box, QColor(110, 180, 240), QColor(214, 236, 255));
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setClipRect(box);
  const QPointF sun(135, 270);
  p.setPen(QPen(QColor(250, 170, 40), 1.5));
  for (int i = 0; i < 8; ++i) {
    const double a = i * M_PI / 4;
    p.drawLine(QPointF(sun.x() + 8 * std::cos(a), sun.y() + 8 * std::sin(a)),
               QPointF(sun.x() + 11 * std::cos(a), sun.y() + 11 * std::sin(a)));
  }
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 200, 40));
  p.drawEllipse(sun, 6, 6);
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(128, 298), 5, 3.5);
  p.drawEllipse(QPointF(133, 296), 5, 4.5);
  p.drawEllipse(QPointF(139, 299), 5, 3);
  p.setBrush(QColor(110, 190, 90));
  p.drawEllipse(QPointF(126, 340), 22, 14);
  p.setBrush(QColor(80, 160, 70));
  p.drawEllipse(QPointF(150, 344), 16, 16);
  p.restore();
}

void DrawNightPicture(QImage& image, QPainter& p) {
  const QRect box(150, 250, 30, 90);
  DrawBand(p, box, QColor(12, 18, 52), QColor(44, 56, 110));
  // Stars at fixed places.
  const int stars[][2] = {{154, 256}, {172, 258}, {160, 286}, {176, 280}, {153, 300},
                          {168, 304}, {158, 318}, {175, 312}, {165, 292}};
  for (const auto& s : stars) image.setPixelColor(s[0], s[1], QColor(255, 250, 210));
  image.setPixelColor(172, 258, QColor(255, 255, 255));
  p.fillRect(QRect(171, 258, 3, 1), QColor(200, 200, 170));
  p.fillRect(QRect(172, 257, 1, 3), QColor(200, 200, 170));
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setClipRect(box);
  // A crescent: a pale disc with a sky-coloured disc over it.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 236, 150));
  p.drawEllipse(QPointF(164, 271), 8, 8);
  p.setBrush(QColor(18, 25, 62));
  p.drawEllipse(QPointF(168, 268), 7, 7);
  p.setBrush(QColor(30, 46, 60));
  p.drawEllipse(QPointF(156, 340), 22, 14);
  p.setBrush(QColor(20, 34, 46));
  p.drawEllipse(QPointF(180, 344), 16, 16);
  p.restore();
}

// ---- Toolbar and button backgrounds: row 340..359 ----------------------------------------

void DrawArrow(QPainter& p, int x, int y, bool left, QColor ink) {
  // A solid triangle 5 wide and 9 high, centred in the 20 x 20 button at (x, y).
  for (int c = 0; c < 5; ++c) {
    const int half = left ? c : 4 - c;
    p.fillRect(QRect(x + 8 + c, y + 10 - half, 1, 2 * half + 1), ink);
  }
}

void DrawToolbar(QPainter& p, const Theme& t) {
  DrawButton(p, QRect(0, 340, 40, 20), t.buttonTop, t.buttonBottom, t.buttonBorder);
  DrawButton(p, QRect(40, 340, 40, 20), t.tabActiveTop, t.tabActiveBottom, t.buttonBorder);
  DrawButton(p, QRect(80, 340, 40, 20), t.newTop, t.newBottom, t.buttonBorder);
  DrawButton(p, QRect(160, 340, 20, 20), t.buttonTop, t.buttonBottom, t.buttonBorder);
  DrawButton(p, QRect(180, 340, 20, 20), t.buttonTop, t.buttonBottom, t.buttonBorder);
  DrawButton(p, QRect(200, 340, 20, 20), t.buttonTop, t.buttonBottom, t.buttonBorder);
  DrawArrow(p, 180, 340, true, t.buttonIcon);
  DrawArrow(p, 200, 340, false, t.buttonIcon);
}

}  // namespace

const Theme& LightTheme() {
  return kLight;
}
const Theme& DarkTheme() {
  return kDark;
}

QImage PartsSheet(const Theme& t, const QImage& icon) {
  QImage image = WhiteImage(kPartsWidth, kPartsHeight);
  {
    QPainter p(&image);
    DrawPluginButton(p, t);
    DrawTitleFill(p, 30, t.titleInactiveTop, t.titleInactiveBottom, t.titleEdge);
    DrawWindowButtons(p, t);
    DrawTitleFill(p, 120, t.titleActiveTop, t.titleActiveBottom, t.titleEdge);
    DrawPickerGlyphs(image, p, t);
    DrawDayPiece(p, t);
    DrawClockFace(p, t);
    DrawMeridiem(image, p, 250, t.amBack, 'A');
    DrawMeridiem(image, p, 260, t.pmBack, 'P');
    DrawDayPicture(p);
    DrawNightPicture(image, p);
    DrawToolbar(p, t);
    p.drawImage(QPoint(0, 30), icon, QRect(0, 0, 225, 90));
  }
  DrawResizeGrip(image, t);

  // The reduced icon is made the way the host makes it from a user's icon image.
  std::vector<uint8_t> bgr = ToBottomUpBgr(image);
  PixelBuffer sheet{bgr.data(), kPartsWidth, kPartsHeight, static_cast<int>(bgr.size())};
  Reduce(sheet, 0, 120, 150, 60, sheet, 0, 30, 225, 90);
  FromBottomUpBgr(image, bgr);
  return image;
}

}  // namespace yk::pictures
