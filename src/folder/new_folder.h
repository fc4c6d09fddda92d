#pragma once

#include <QString>

#include "desktop/prompter.h"

class QWidget;

namespace pelmoa {

// Creates the folder typed into the folder box, with every missing level, and says how it went.
class NewFolder {
 public:
  explicit NewFolder(Prompter& prompter);

  // box_text is the box text as typed; it is trimmed as a run trims it. A relative path is
  // refused with the failure message. Shows "already exists" when anything answers to the
  // folder, else creates it and shows either the success or the failure message.
  void Create(QWidget* owner, const QString& box_text);

 private:
  Prompter& prompter_;
};

}  // namespace pelmoa
