#include "desktop/prompter.h"

namespace pelmoa {

QMessageBox::StandardButton QMessageBoxPrompter::Show(QWidget* parent, const QString& title,
                                                      const QString& text, QMessageBox::Icon icon,
                                                      QMessageBox::StandardButtons buttons) {
  QMessageBox box(icon, title, text, buttons, parent);
  box.setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace pelmoa
