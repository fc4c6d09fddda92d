#include "fake_prompter.h"

#include <QTest>

namespace pelmoa::testing {

bool operator==(const Box& a, const Box& b) {
  return a.title == b.title && a.text == b.text && a.icon == b.icon && a.buttons == b.buttons;
}

char* toString(const Box& box) {
  return QTest::toString(QStringLiteral("{%1 | %2 | icon %3 | buttons 0x%4}")
                             .arg(box.title, box.text)
                             .arg(int(box.icon))
                             .arg(uint(box.buttons.toInt()), 0, 16));
}

QMessageBox::StandardButton FakePrompter::Show(QWidget* parent, const QString& title,
                                               const QString& text, QMessageBox::Icon icon,
                                               QMessageBox::StandardButtons buttons) {
  boxes.append({title, text, icon, buttons, parent});
  if (on_show) on_show();
  if (!answers.empty()) {
    const QMessageBox::StandardButton answer = answers.front();
    answers.pop_front();
    return answer;
  }
  return buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::No;
}

}  // namespace pelmoa::testing
