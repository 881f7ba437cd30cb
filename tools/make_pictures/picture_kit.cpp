// picture_kit.cpp — pixel glyphs, fonts, buttons and BMP output for the picture generator.
#include "tools/make_pictures/picture_kit.h"

#include <QFontInfo>
#include <QLinearGradient>
#include <QPainterPath>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "platform/bmp_file.h"

namespace yk::pictures {

void DrawPixelGlyph(QImage& image, int x, int y, const PixelGlyph& glyph, QColor ink) {
  int row = 0;
  for (std::string_view line : glyph) {
    for (int col = 0; col < static_cast<int>(line.size()); ++col) {
      const int px = x + col, py = y + row;
      if (line[col] == '#' && image.rect().contains(px, py)) image.setPixelColor(px, py, ink);
    }
    ++row;
  }
}

int GlyphWidth(const PixelGlyph& glyph) {
  size_t width = 0;
  for (std::string_view line : glyph) width = std::max(width, line.size());
  return static_cast<int>(width);
}

PixelGlyph LargeDigit(int d) {
  switch (d) {
    case 0:
      return {".##.", "#..#", "#..#", "#..#", "#..#", "#..#", "#..#", "#..#", ".##."};
    case 1:
      return {"..#.", ".##.", "#.#.", "..#.", "..#.", "..#.", "..#.", "..#.", ".###"};
    case 2:
      return {".##.", "#..#", "...#", "...#", "..#.", ".#..", "#...", "#...", "####"};
    case 3:
      return {".##.", "#..#", "...#", "...#", ".##.", "...#", "...#", "#..#", ".##."};
    case 4:
      return {"...#", "..##", ".#.#", ".#.#", "#..#", "####", "...#", "...#", "...#"};
    case 5:
      return {"####", "#...", "#...", "###.", "...#", "...#", "...#", "#..#", ".##."};
    case 6:
      return {".##.", "#..#", "#...", "#...", "###.", "#..#", "#..#", "#..#", ".##."};
    case 7:
      return {"####", "...#", "...#", "..#.", "..#.", "..#.", ".#..", ".#..", ".#.."};
    case 8:
      return {".##.", "#..#", "#..#", "#..#", ".##.", "#..#", "#..#", "#..#", ".##."};
    default:
      return {".##.", "#..#", "#..#", "#..#", ".###", "...#", "...#", "#..#", ".##."};
  }
}

PixelGlyph SmallDigit(int d) {
  switch (d) {
    case 0:
      return {".#.", "#.#", "#.#", "#.#", "#.#", "#.#", ".#."};
    case 1:
      return {".#.", "##.", ".#.", ".#.", ".#.", ".#.", "###"};
    case 2:
      return {"##.", "..#", "..#", ".#.", "#..", "#..", "###"};
    case 3:
      return {"##.", "..#", "..#", ".#.", "..#", "..#", "##."};
    case 4:
      return {"#.#", "#.#", "#.#", "###", "..#", "..#", "..#"};
    case 5:
      return {"###", "#..", "#..", "##.", "..#", "..#", "##."};
    case 6:
      return {".##", "#..", "#..", "##.", "#.#", "#.#", ".#."};
    case 7:
      return {"###", "..#", "..#", ".#.", ".#.", ".#.", ".#."};
    case 8:
      return {".#.", "#.#", "#.#", ".#.", "#.#", "#.#", ".#."};
    default:
      return {".#.", "#.#", "#.#", ".##", "..#", "..#", "##."};
  }
}

PixelGlyph WeekdayKanji(int weekday) {
  switch (weekday) {
    case 0:
      return DayKanji();
    case 1:
      return MonthKanji();
    case 2:
      return {"..#..", "#.#.#", "#.#.#", "..#..", "..#..", ".#.#.", "#...#"};  // fire
    case 3:
      return {"..#..", "..#.#", "##.#.", "..#..", ".#.#.", "#.#.#", ".##.."};  // water
    case 4:
      return {"..#..", "#####", "..#..", ".###.", "#.#.#", "..#..", "..#.."};  // tree
    case 5:
      return {"..#..", ".#.#.", "#####", "..#..", "#####", ".#.#.", "#####"};  // gold
    default:
      return {".....", "..#..", "..#..", "#####", "..#..", "..#..", "#####"};  // earth
  }
}

PixelGlyph YearKanji() {
  return {".#...", ".####", "#.#..", ".####", "..#..", "#####", "..#.."};
}
PixelGlyph MonthKanji() {
  return {".####", ".#..#", ".####", ".#..#", ".####", ".#..#", "#..##"};
}
PixelGlyph DayKanji() {
  return {"#####", "#...#", "#...#", "#####", "#...#", "#...#", "#####"};
}

PixelGlyph Letter(char c) {
  switch (c) {
    case 'A':
      return {".##.", "#..#", "#..#", "####", "#..#", "#..#", "#..#"};
    case 'M':
      return {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"};
    case 'P':
      return {"###.", "#..#", "#..#", "###.", "#...", "#...", "#..."};
    case '*':
      return {"....", "#..#", ".##.", "####", ".##.", "#..#", "...."};
    case ':':
      return {".", "#", ".", ".", ".", "#", "."};
    case '/':
      return {"..#", "..#", ".#.", ".#.", ".#.", "#..", "#.."};
    case '~':
      return {"......", "......", ".##..#", "#..##.", "......", "......", "......"};
    case '(':
      return {"..#", ".#.", "#..", "#..", "#..", ".#.", "..#"};
    case ')':
      return {"#..", ".#.", "..#", "..#", "..#", ".#.", "#.."};
    default:
      return {};
  }
}

QFont JapaneseFont(int pixelSize, bool bold) {
  QFont font(QStringLiteral("IPAGothic"));
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  font.setHintingPreference(QFont::PreferFullHinting);
  font.setStyleStrategy(QFont::PreferAntialias);
  static bool checked = false;
  if (!checked) {
    checked = true;
    const QString family = QFontInfo(font).family();
    if (!family.contains(QStringLiteral("IPAGothic"), Qt::CaseInsensitive)) {
      std::fprintf(stderr,
                   "The IPAGothic font is missing (found \"%s\"); install fonts-ipafont-gothic.\n",
                   family.toLocal8Bit().constData());
      std::exit(2);
    }
  }
  return font;
}

void DrawCentredText(QPainter& painter, const QRect& box, const QString& text, const QFont& font,
                     QColor ink) {
  painter.save();
  painter.setFont(font);
  painter.setPen(ink);
  painter.drawText(box, Qt::AlignCenter, text);
  painter.restore();
}

void DrawButton(QPainter& painter, const QRect& box, QColor top, QColor bottom, QColor border) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  QLinearGradient gradient(box.topLeft(), box.bottomLeft());
  gradient.setColorAt(0, top);
  gradient.setColorAt(1, bottom);
  QPainterPath path;
  path.addRoundedRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
  painter.fillPath(path, gradient);
  painter.setPen(QPen(border, 1));
  painter.drawPath(path);
  painter.restore();
}

void DrawBand(QPainter& painter, const QRect& box, QColor top, QColor bottom) {
  QLinearGradient gradient(box.topLeft(), box.bottomLeft());
  gradient.setColorAt(0, top);
  gradient.setColorAt(1, bottom);
  painter.fillRect(box, gradient);
}

QImage WhiteImage(int width, int height) {
  QImage image(width, height, QImage::Format_RGB888);
  image.fill(Qt::white);
  return image;
}

std::vector<uint8_t> ToBottomUpBgr(const QImage& source) {
  const QImage image = source.convertToFormat(QImage::Format_RGB888);
  const int w = image.width(), h = image.height();
  std::vector<uint8_t> out(static_cast<size_t>(w) * h * 3);
  for (int y = 0; y < h; ++y) {
    const uchar* line = image.constScanLine(y);
    uint8_t* row = out.data() + static_cast<size_t>(h - 1 - y) * w * 3;
    for (int x = 0; x < w; ++x) {
      row[x * 3 + 0] = line[x * 3 + 2];
      row[x * 3 + 1] = line[x * 3 + 1];
      row[x * 3 + 2] = line[x * 3 + 0];
    }
  }
  return out;
}

void FromBottomUpBgr(QImage& image, const std::vector<uint8_t>& bgr) {
  const int w = image.width(), h = image.height();
  for (int y = 0; y < h; ++y) {
    uchar* line = image.scanLine(y);
    const uint8_t* row = bgr.data() + static_cast<size_t>(h - 1 - y) * w * 3;
    for (int x = 0; x < w; ++x) {
      line[x * 3 + 0] = row[x * 3 + 2];
      line[x * 3 + 1] = row[x * 3 + 1];
      line[x * 3 + 2] = row[x * 3 + 0];
    }
  }
}

bool WriteBmp(const QImage& image, const std::filesystem::path& path) {
  const std::vector<uint8_t> pixels = ToBottomUpBgr(image);
  const std::vector<uint8_t> file =
      platform::EncodeBmp24(image.width(), image.height(), pixels.data());
  if (file.empty()) return false;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace yk::pictures
