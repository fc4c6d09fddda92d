#pragma once

#include <QList>
#include <QString>

#include "desktop/prompter.h"

namespace pelmoa::testing {

// Remembers every message box instead of showing it, and answers OK.
class RecordingPrompter : public Prompter {
 public:
  struct Box {
    QString title;
    QString text;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
  };

  QMessageBox::StandardButton Show(QWidget* /*parent*/, const QString& title,
                                   const QString& text, QMessageBox::Icon icon,
                                   QMessageBox::StandardButtons buttons) override {
    boxes.append({title, text, icon, buttons});
    return QMessageBox::Ok;
  }

  QList<Box> boxes;
};

}  // namespace pelmoa::testing
