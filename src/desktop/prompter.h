#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

namespace pelmoa {

// Modal message boxes behind a seam, so tests can answer them.
class Prompter {
 public:
  virtual ~Prompter() = default;
  // Shows a modal box over parent; returns the button pressed.
  virtual QMessageBox::StandardButton Show(QWidget* parent, const QString& title,
                                           const QString& text, QMessageBox::Icon icon,
                                           QMessageBox::StandardButtons buttons) = 0;
};

class QMessageBoxPrompter : public Prompter {
 public:
  QMessageBox::StandardButton Show(QWidget* parent, const QString& title, const QString& text,
                                   QMessageBox::Icon icon,
                                   QMessageBox::StandardButtons buttons) override;
};

}  // namespace pelmoa
