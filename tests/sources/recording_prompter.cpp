#include "recording_prompter.h"

namespace pelmoa::testing {

QMessageBox::StandardButton RecordingPrompter::Show(QWidget*, const QString& title,
                                                    const QString& text, QMessageBox::Icon icon,
                                                    QMessageBox::StandardButtons) {
  shown.append({title, text, icon});
  return QMessageBox::Ok;
}

}  // namespace pelmoa::testing
