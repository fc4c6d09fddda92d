#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>
#include <deque>
#include <functional>

#include "desktop/prompter.h"

namespace pelmoa::testing {

// One message box as a window asked for it.
struct Box {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons = QMessageBox::Ok;
  QWidget* parent = nullptr;
};
using Boxes = QList<Box>;

// Boxes are equal when the user sees the same: title, text, icon and buttons. Their owner is
// checked on its own where it matters. With toString, QCOMPARE shows the box that differs.
bool operator==(const Box& a, const Box& b);
char* toString(const Box& box);

// Answers message boxes from a queue (when it runs dry: OK where offered, otherwise No) and
// records every box it was asked to show.
class FakePrompter : public Prompter {
 public:
  QMessageBox::StandardButton Show(QWidget* parent, const QString& title, const QString& text,
                                   QMessageBox::Icon icon,
                                   QMessageBox::StandardButtons buttons) override;

  Boxes boxes;
  std::deque<QMessageBox::StandardButton> answers;
  // Called while the box would be up.
  std::function<void()> on_show;
};

}  // namespace pelmoa::testing
