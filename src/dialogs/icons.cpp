#include "dialogs/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace dialogs {
namespace {

constexpr int kIconSize = 32;
const QColor kInk(20, 50, 110);

QPixmap blank() {
  QPixmap pm(kIconSize, kIconSize);
  pm.fill(Qt::transparent);
  return pm;
}

}  // namespace

QIcon arrowIcon(ArrowIcon direction) {
  QPixmap pm = blank();
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  // Drawn pointing up, then turned about the centre.
  const int turns[] = {0, 270, 90, 180};
  p.translate(kIconSize / 2.0, kIconSize / 2.0);
  p.rotate(turns[int(direction)]);
  QPainterPath arrow;
  arrow.moveTo(0, -13);
  arrow.lineTo(11, 0);
  arrow.lineTo(4, 0);
  arrow.lineTo(4, 13);
  arrow.lineTo(-4, 13);
  arrow.lineTo(-4, 0);
  arrow.lineTo(-11, 0);
  arrow.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(kInk);
  p.drawPath(arrow);
  p.end();
  return QIcon(pm);
}

QIcon sizeIcon(bool grow) {
  QPixmap pm = blank();
  QPainter p(&pm);
  const QRect outer(3, 3, 25, 25), inner(10, 10, 11, 11);
  QPen solid(kInk, 3);
  solid.setJoinStyle(Qt::MiterJoin);
  QPen dotted(kInk, 2, Qt::DotLine);
  p.setBrush(Qt::NoBrush);
  p.setPen(grow ? solid : dotted);
  p.drawRect(outer);
  p.setPen(grow ? dotted : solid);
  p.drawRect(inner);
  p.end();
  return QIcon(pm);
}

}  // namespace dialogs
