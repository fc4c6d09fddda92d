#pragma once

#include <QString>

#include "mainwindow/prompter.h"

class QWidget;

namespace pelmoa {

// Creates the folder typed into the folder box, with every missing level, and says how it went.
class NewFolder {
 public:
  explicit NewFolder(Prompter& prompter);

  // folder_text is the box text as typed. Shows "already exists" when anything answers to
  // it, else creates it and shows either the success or the failure message.
  void Create(QWidget* owner, const QString& folder_text);

 private:
  Prompter& prompter_;
};

}  // namespace pelmoa
