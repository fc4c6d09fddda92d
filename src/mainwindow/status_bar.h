#pragma once

#include <QStatusBar>
#include <QString>

class QLabel;

namespace pelmoa {

// stbStat: a status bar with one text panel that fills it.
class StatusBar : public QStatusBar {
  Q_OBJECT

 public:
  explicit StatusBar(QWidget* parent = nullptr);

  // Text of the first (only) panel.
  QString PanelText() const;
  void SetPanelText(const QString& text);
  QLabel* Panel() const { return panel_; }

 signals:
  void PanelTextChanged(const QString& text);

 private:
  QLabel* panel_;
};

}  // namespace pelmoa
