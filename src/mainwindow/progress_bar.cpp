#include "progress_bar.h"

namespace pelmoa {

ProgressBar::ProgressBar(QWidget* parent) : QProgressBar(parent) {
  setRange(0, 100);
  setValue(0);
  setFormat(QStringLiteral("%v/%m"));
  setTextVisible(true);
  setAlignment(Qt::AlignCenter);
}

void ProgressBar::SetMax(int32_t maximum) {
  // A maximum of 0 would turn the bar into a busy indicator; runs never pass one.
  setMaximum(maximum < 1 ? 1 : maximum);
  emit Operated(QStringLiteral("max:%1").arg(maximum));
}

void ProgressBar::SetValue(int32_t value) {
  setValue(value);
  emit Operated(QStringLiteral("value:%1").arg(value));
}

void ProgressBar::SetShown(bool visible) {
  setVisible(visible);
  emit Operated(visible ? QStringLiteral("visible:1") : QStringLiteral("visible:0"));
}

void ProgressBar::Step() {
  if (value() < maximum()) setValue(value() + 1);
  emit Operated(QStringLiteral("step"));
}

}  // namespace pelmoa
