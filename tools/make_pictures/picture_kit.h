// picture_kit.h — small drawing helpers shared by the picture generator: pixel glyphs,
// text in the Japanese face, bevelled buttons and the BMP output.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <filesystem>
#include <string_view>
#include <vector>

namespace yk::pictures {

// A glyph drawn pixel by pixel: one string per row, '#' = ink, anything else = untouched.
using PixelGlyph = std::vector<std::string_view>;

// Draws `glyph` with its top-left pixel at (x, y).
void DrawPixelGlyph(QImage& image, int x, int y, const PixelGlyph& glyph, QColor ink);

// Width of a glyph (its longest row).
int GlyphWidth(const PixelGlyph& glyph);

// The digit glyphs: large ones are 4 x 9, small ones 3 x 7.
PixelGlyph LargeDigit(int d);
PixelGlyph SmallDigit(int d);

// Weekday names as 5 x 7 pixel kanji, 0 Sunday .. 6 Saturday, and the date kanji.
PixelGlyph WeekdayKanji(int weekday);
PixelGlyph YearKanji();
PixelGlyph MonthKanji();
PixelGlyph DayKanji();

// Capital letters A, M, P and a few marks used by the small labels.
PixelGlyph Letter(char c);

// The Japanese face all generated text uses; exits with a message when the machine lacks it.
QFont JapaneseFont(int pixelSize, bool bold = false);

// Draws `text` centred in `box`.
void DrawCentredText(QPainter& painter, const QRect& box, const QString& text, const QFont& font,
                     QColor ink);

// A rounded button face with a vertical gradient and a one-pixel border.
void DrawButton(QPainter& painter, const QRect& box, QColor top, QColor bottom, QColor border);

// A horizontal band with a vertical gradient (tiles seamlessly side by side).
void DrawBand(QPainter& painter, const QRect& box, QColor top, QColor bottom);

// A new white RGB picture.
QImage WhiteImage(int width, int height);

// The picture as a 24-bit BMP file image (bottom-up rows padded to 4 bytes).
[[nodiscard]] bool WriteBmp(const QImage& image, const std::filesystem::path& path);

// The picture in the program's pixel-buffer layout (bottom-up, unpadded, blue-green-red)
// and back.
std::vector<uint8_t> ToBottomUpBgr(const QImage& image);
void FromBottomUpBgr(QImage& image, const std::vector<uint8_t>& bgr);

}  // namespace yk::pictures
