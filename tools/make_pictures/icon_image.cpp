// icon_image.cpp — the default icon image: 225 x 90, a grid of 15 x 15 stamps, six shapes
// (rows) in fifteen colours (columns).
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>

#include "tools/make_pictures/picture_kit.h"
#include "tools/make_pictures/pictures.h"

namespace yk::pictures {
namespace {

constexpr int kStamp = 15;

const QColor kPalette[15] = {
    QColor(226, 54, 54),   QColor(240, 120, 40), QColor(236, 190, 30),  QColor(150, 200, 40),
    QColor(60, 170, 70),   QColor(40, 170, 150), QColor(40, 160, 220),  QColor(50, 100, 210),
    QColor(110, 80, 200),  QColor(170, 70, 190), QColor(230, 90, 160),  QColor(150, 100, 60),
    QColor(120, 120, 120), QColor(40, 40, 40),   QColor(250, 160, 170),
};

QPainterPath Shape(int row, const QRectF& box) {
  QPainterPath path;
  const QPointF c = box.center();
  const double r = box.width() / 2;
  switch (row) {
    case 0:  // circle
      path.addEllipse(c, r, r);
      break;
    case 1:  // rounded square
      path.addRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 2.5, 2.5);
      break;
    case 2: {  // triangle
      QPolygonF poly;
      poly << QPointF(c.x(), box.top()) << box.bottomRight() << box.bottomLeft();
      path.addPolygon(poly);
      path.closeSubpath();
      break;
    }
    case 3: {  // star
      QPolygonF poly;
      for (int i = 0; i < 10; ++i) {
        const double a = -M_PI / 2 + i * M_PI / 5;
        const double rr = i % 2 == 0 ? r : r * 0.45;
        poly << QPointF(c.x() + rr * std::cos(a), c.y() + 0.5 + rr * std::sin(a));
      }
      path.addPolygon(poly);
      path.closeSubpath();
      break;
    }
    case 4: {  // heart
      const double x = box.left(), y = box.top(), w = box.width(), h = box.height();
      path.moveTo(x + w / 2, y + h);
      path.cubicTo(x - w * 0.2, y + h * 0.45, x + w * 0.15, y - h * 0.1, x + w / 2, y + h * 0.28);
      path.cubicTo(x + w * 0.85, y - h * 0.1, x + w * 1.2, y + h * 0.45, x + w / 2, y + h);
      break;
    }
    default: {  // diamond
      QPolygonF poly;
      poly << QPointF(c.x(), box.top()) << QPointF(box.right(), c.y())
           << QPointF(c.x(), box.bottom()) << QPointF(box.left(), c.y());
      path.addPolygon(poly);
      path.closeSubpath();
      break;
    }
  }
  return path;
}

}  // namespace

QImage IconImage() {
  QImage image = WhiteImage(225, 90);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  for (int row = 0; row < 6; ++row) {
    for (int col = 0; col < 15; ++col) {
      const QRectF box(col * kStamp + 2, row * kStamp + 2, kStamp - 4, kStamp - 4);
      const QColor fill = kPalette[col];
      p.setPen(QPen(fill.darker(140), 1));
      p.setBrush(fill);
      p.drawPath(Shape(row, box));
    }
  }
  return image;
}

}  // namespace yk::pictures
