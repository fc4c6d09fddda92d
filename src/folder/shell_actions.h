#pragma once

#include <QString>

#include "folder/shell_open.h"

namespace pelmoa {

// Opens the page of the URL box in the browser, and the program's help.
class ShellActions {
 public:
  // program_folder is the executable's folder: the help file lies beside it, or in
  // ../share/pelmoa when the program is installed.
  ShellActions(ShellOpen& shell, QString program_folder);

  // url_text is the URL box text as typed; a blank box does nothing.
  void OpenPage(const QString& url_text);
  void OpenHelp();

 private:
  ShellOpen& shell_;
  QString program_folder_;
};

inline constexpr char kHelpFileName[] = "Pelmoa.html";

}  // namespace pelmoa
