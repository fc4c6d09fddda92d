#pragma once

#include <QProgressBar>
#include <QString>
#include <cstdint>

namespace pelmoa {

// kpbDL: the run's progress bar. Runs use only its four operations; it shows its value as
// "value/maximum" ("0/100" before the first run).
class ProgressBar : public QProgressBar {
  Q_OBJECT

 public:
  explicit ProgressBar(QWidget* parent = nullptr);

  void SetMax(int32_t maximum);
  void SetValue(int32_t value);
  void SetShown(bool visible);
  // One more finished entry; a step beyond the maximum leaves the bar full.
  void Step();

 signals:
  // Each operation as it is applied: "max:N", "value:N", "visible:1", "visible:0", "step".
  void Operated(const QString& operation);
};

}  // namespace pelmoa
