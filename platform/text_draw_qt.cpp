// Text on surfaces with QPainter.  The clip rectangle of the surface is copied into a
// QImage (same blue-green-red bytes, top-down rows), the text painted on it without
// anti-aliasing (the handheld's crisp glyphs, and every pixel either text colour or
// untouched), and the rectangle written back.
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "platform/qt_text.h"
#include "platform/text_draw.h"

namespace platform {
namespace {

constexpr char16_t kFallbackFamily[] = u"IPAPGothic";
constexpr int kDefaultHeight = 12;

// Asking the font database is slow (fontconfig), and a window asks for the same few faces
// at every redraw, so each face's answer is kept for the life of the process.
QString FamilyFor(std::u16string_view face) {
  static std::mutex mutex;
  // Never destroyed: fonts must not outlive the application object at exit.
  static auto& families = *new std::map<std::u16string, QString, std::less<>>();
  std::lock_guard lock(mutex);
  auto it = families.find(face);
  if (it != families.end()) return it->second;
  QString family = ToQString(kFallbackFamily);
  if (!face.empty() && face != kDefaultFaceName && QFontDatabase::hasFamily(ToQString(face)))
    family = ToQString(face);
  families.emplace(std::u16string(face), family);
  return family;
}

// The font whose character cell (ascent + descent) is at most `height` pixels: the pixel
// size is lowered from `height` until the cell fits.  Cached per family and height.
QFont MakeFont(const QString& family, int height) {
  static std::mutex mutex;
  static auto& fonts = *new std::map<std::pair<QString, int>, QFont>();
  std::lock_guard lock(mutex);
  auto key = std::make_pair(family, height);
  auto it = fonts.find(key);
  if (it == fonts.end()) {
    QFont font(family);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferBitmap));
    font.setWeight(QFont::Normal);
    font.setHintingPreference(QFont::PreferFullHinting);
    int size = height;
    for (; size > 1; --size) {
      font.setPixelSize(size);
      if (QFontMetrics(font).height() <= height) break;
    }
    font.setPixelSize(std::max(size, 1));
    it = fonts.emplace(key, font).first;
  }
  return it->second;
}

// Splits at CR LF, lone CR and lone LF.  A break at the very end starts no further line.
std::vector<QString> SplitLines(std::u16string_view text) {
  std::vector<QString> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'\r' && text[i] != u'\n') continue;
    lines.push_back(ToQString(text.substr(start, i - start)));
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  if (start < text.size() || lines.empty()) lines.push_back(ToQString(text.substr(start)));
  return lines;
}

struct LaidLine {
  QString text;  // for unwrapped lines
  int width = 0;
};

struct Layout {
  QFont font;
  int lineHeight = 0;
  int ascent = 0;
  std::vector<LaidLine> lines;
  int widest = 0;
};

// Lays the text out in lines; with wrap, each paragraph is broken at word boundaries (or
// anywhere, for Japanese text without spaces) to fit `width`.
Layout LayOut(std::u16string_view text, int width, const TextStyle& style) {
  Layout layout;
  int height = style.height > 0 ? style.height : kDefaultHeight;
  layout.font = MakeFont(FamilyFor(style.face), height);
  QFontMetrics metrics(layout.font);
  layout.lineHeight = height;
  layout.ascent = metrics.ascent() + (height - metrics.height()) / 2;
  bool wrap = style.wordWrap && !style.vertical && width > 0;
  for (const QString& paragraph : SplitLines(text)) {
    if (!wrap || paragraph.isEmpty()) {
      layout.lines.push_back({paragraph, metrics.horizontalAdvance(paragraph)});
      continue;
    }
    QTextLayout textLayout(paragraph, layout.font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    textLayout.setTextOption(option);
    textLayout.beginLayout();
    for (QTextLine line = textLayout.createLine(); line.isValid(); line = textLayout.createLine()) {
      line.setLineWidth(width);
      QString piece = paragraph.mid(line.textStart(), line.textLength());
      // Trailing spaces at a break take no room on the line, as on the handheld.
      while (piece.endsWith(u' ')) piece.chop(1);
      layout.lines.push_back({piece, metrics.horizontalAdvance(piece)});
    }
    textLayout.endLayout();
  }
  for (const auto& line : layout.lines) layout.widest = std::max(layout.widest, line.width);
  return layout;
}

}  // namespace

std::u16string ResolvedFontFamily(std::u16string_view face) {
  if (QGuiApplication::instance() == nullptr) return kFallbackFamily;
  return FamilyFor(face).toStdU16String();
}

TextExtent MeasureText(std::u16string_view text, int width, const TextStyle& style) {
  if (text.empty() || QGuiApplication::instance() == nullptr) return {};
  Layout layout = LayOut(text, width, style);
  int across = layout.widest;
  int down = int(layout.lines.size()) * layout.lineHeight;
  return style.vertical ? TextExtent{down, across} : TextExtent{across, down};
}

int DrawText(Handle dc, std::u16string_view text, Rect clip, const TextStyle& style) {
  Surface* surface = SurfaceOfDC(dc);
  if (surface == nullptr || text.empty() || QGuiApplication::instance() == nullptr) return 0;
  if (clip.left > clip.right) std::swap(clip.left, clip.right);
  if (clip.top > clip.bottom) std::swap(clip.top, clip.bottom);
  Layout layout = LayOut(text, clip.Width(), style);
  int textHeight = int(layout.lines.size()) * layout.lineHeight;

  // The part of the rectangle that lies on the surface.
  int left = std::max(clip.left, 0), top = std::max(clip.top, 0);
  int right = std::min(clip.right, surface->width), bottom = std::min(clip.bottom, surface->height);
  if (left >= right || top >= bottom) return textHeight;
  int w = right - left, h = bottom - top;

  QImage image(w, h, QImage::Format_BGR888);
  if (image.isNull()) return 0;
  for (int y = 0; y < h; ++y)
    std::memcpy(image.scanLine(y), surface->bits + surface->Offset(left, top + y), size_t(w) * 3);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setFont(layout.font);
    painter.setPen(QColor(int(style.colour & 0xFF), int((style.colour >> 8) & 0xFF),
                          int((style.colour >> 16) & 0xFF)));
    // From here on, coordinates are those of the surface.
    painter.translate(-left, -top);
    if (style.vertical) {
      // Rotated 90 degrees clockwise about the top-left corner: local x runs down the
      // surface, local y runs to the left.  Line i's cell spans local y (i-1)h .. ih, so
      // the first line lies just right of the rectangle's left edge.
      painter.translate(clip.left, clip.top);
      painter.rotate(90);
      for (size_t i = 0; i < layout.lines.size(); ++i) {
        int cellTop = (int(i) - 1) * layout.lineHeight;
        painter.drawText(QPoint(0, cellTop + layout.ascent), layout.lines[i].text);
      }
    } else {
      for (size_t i = 0; i < layout.lines.size(); ++i) {
        int cellTop = clip.top + int(i) * layout.lineHeight;
        if (cellTop >= bottom) break;
        painter.drawText(QPoint(clip.left, cellTop + layout.ascent), layout.lines[i].text);
      }
    }
  }
  for (int y = 0; y < h; ++y)
    std::memcpy(surface->bits + surface->Offset(left, top + y), image.constScanLine(y),
                size_t(w) * 3);
  return textHeight;
}

}  // namespace platform
