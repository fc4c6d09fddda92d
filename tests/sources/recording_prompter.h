#pragma once

#include <QList>
#include <QString>

#include "desktop/prompter.h"

namespace pelmoa::testing {

// Answers every message box with OK and keeps what it was asked to show.
class RecordingPrompter : public Prompter {
 public:
  struct Shown {
    QString title;
    QString text;
    QMessageBox::Icon icon;
  };

  QMessageBox::StandardButton Show(QWidget* parent, const QString& title, const QString& text,
                                   QMessageBox::Icon icon,
                                   QMessageBox::StandardButtons buttons) override;

  QList<Shown> shown;
};

}  // namespace pelmoa::testing
