#pragma once

#include <QString>

#include "desktop/prompter.h"
#include "folder/shell_open.h"

class QWidget;

namespace pelmoa {

// Opens the page of the URL box in the browser, and the program's help.
class ShellActions {
 public:
  // program_folder is the executable's folder: the help file lies beside it, or in
  // ../share/pelmoa when the program is installed.
  ShellActions(ShellOpen& shell, Prompter& prompter, QString program_folder);

  // url_text is the URL box text as typed; a blank box does nothing. When nothing could be
  // started, a message box over owner says so.
  void OpenPage(QWidget* owner, const QString& url_text);
  void OpenHelp(QWidget* owner);

 private:
  void TellNotStarted(QWidget* owner, const char* what, const QString& target);

  ShellOpen& shell_;
  Prompter& prompter_;
  QString program_folder_;
};

inline constexpr char kHelpFileName[] = "Pelmoa.html";

}  // namespace pelmoa
