#include "viewer/viewer_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace pelmoa {
namespace {

QPixmap DrawIcon(int side) {
  QPixmap pixmap(side, side);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(side / 32.0, side / 32.0);
  // Frame and sky.
  p.setPen(QPen(QColor(0x40, 0x30, 0x20), 1.5));
  p.setBrush(QColor(0x8e, 0xc8, 0xf0));
  p.drawRoundedRect(QRectF(2.5, 4.5, 27, 23), 2, 2);
  // Sun.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xff, 0xc8, 0x30));
  p.drawEllipse(QPointF(22, 11), 3.5, 3.5);
  // Two hills.
  QPainterPath far_hill;
  far_hill.moveTo(3.5, 26.5);
  far_hill.lineTo(12, 13);
  far_hill.lineTo(20, 26.5);
  p.setBrush(QColor(0x3a, 0x8a, 0x3a));
  p.drawPath(far_hill);
  QPainterPath near_hill;
  near_hill.moveTo(12, 26.5);
  near_hill.lineTo(20, 17);
  near_hill.lineTo(28.5, 26.5);
  p.setBrush(QColor(0x2a, 0x6a, 0x2a));
  p.drawPath(near_hill);
  return pixmap;
}

}  // namespace

QIcon ViewerIcon() {
  QIcon icon;
  for (int side : {16, 32, 48}) icon.addPixmap(DrawIcon(side));
  return icon;
}

}  // namespace pelmoa
