#pragma once

#include <QRect>

class QWidget;

namespace pelmoa {

// One row of a window's geometry table, in twips (1/1440 inch).
struct TwipsGeometry {
  const char* object_name;
  double left, top, width, height;
};

// Pixels = twips x logical DPI / 1440 (15 twips a pixel at 96 DPI).
int TwipsToPixels(double twips, double logical_dpi = 96.0);
double PixelsToTwips(int pixels, double logical_dpi = 96.0);
QRect TwipsRect(const TwipsGeometry& g, double logical_dpi = 96.0);

// Places every named child of window as its table row says.
void ApplyGeometry(QWidget* window, const TwipsGeometry* rows, int count);

}  // namespace pelmoa
