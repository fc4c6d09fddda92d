#include "desktop/twips.h"

#include <QWidget>
#include <cmath>

namespace pelmoa {

int TwipsToPixels(double twips, double logical_dpi) {
  return static_cast<int>(std::lround(twips * logical_dpi / 1440.0));
}

double PixelsToTwips(int pixels, double logical_dpi) { return pixels * 1440.0 / logical_dpi; }

QRect TwipsRect(const TwipsGeometry& g, double logical_dpi) {
  return QRect(TwipsToPixels(g.left, logical_dpi), TwipsToPixels(g.top, logical_dpi),
               TwipsToPixels(g.width, logical_dpi), TwipsToPixels(g.height, logical_dpi));
}

void ApplyGeometry(QWidget* window, const TwipsGeometry* rows, int count) {
  const double dpi = window->logicalDpiX();
  for (int i = 0; i < count; ++i) {
    auto* w = window->findChild<QWidget*>(QString::fromLatin1(rows[i].object_name));
    if (w) w->setGeometry(TwipsRect(rows[i], dpi));
  }
}

}  // namespace pelmoa
