// app_icon.cpp — the program's icon for the desktop's application menu: three small windows
// over a blue tile, the front one a month page with today marked.  Drawn on a 48-unit grid
// and scaled, so every size shows the same picture.
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "tools/make_pictures/pictures.h"

namespace yk::pictures {
namespace {

constexpr double kGrid = 48.0;

// One floating window: white body, coloured title strip, dark frame.
void DrawWindow(QPainter& painter, const QRectF& box, QColor title) {
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0, 0, 0, 60));
  painter.drawRoundedRect(box.translated(0.8, 1.0), 1.5, 1.5);
  painter.setBrush(Qt::white);
  painter.drawRoundedRect(box, 1.5, 1.5);
  QPainterPath body;
  body.addRoundedRect(box, 1.5, 1.5);
  painter.save();
  painter.setClipPath(body);
  painter.fillRect(QRectF(box.left(), box.top(), box.width(), 6), title);
  painter.restore();
  painter.setPen(QPen(QColor(30, 40, 60), 0.8));
  painter.setBrush(Qt::NoBrush);
  painter.drawRoundedRect(box, 1.5, 1.5);
}

}  // namespace

QImage AppIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.scale(size / kGrid, size / kGrid);

  QLinearGradient tile(0, 2, 0, 46);
  tile.setColorAt(0, QColor(70, 140, 230));
  tile.setColorAt(1, QColor(35, 80, 170));
  painter.setPen(Qt::NoPen);
  painter.setBrush(tile);
  painter.drawRoundedRect(QRectF(2, 2, 44, 44), 8, 8);

  DrawWindow(painter, QRectF(6, 7, 20, 15), QColor(240, 150, 50));
  DrawWindow(painter, QRectF(24, 9, 18, 14), QColor(90, 180, 90));

  const QRectF page(10, 17, 28, 25);
  DrawWindow(painter, page, QColor(220, 60, 60));
  // The month: four rows of five days, today in red.
  painter.setPen(Qt::NoPen);
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 5; ++col) {
      const QRectF day(page.left() + 2.5 + col * 4.8, page.top() + 8.5 + row * 3.9, 3.6, 2.8);
      const bool today = row == 2 && col == 3;
      painter.setBrush(today ? QColor(220, 60, 60) : QColor(190, 198, 212));
      painter.drawRect(day);
    }
  }
  painter.end();
  return image;
}

}  // namespace yk::pictures
