#pragma once

#include <QString>
#include <memory>

#include "desktop/prompter.h"
#include "desktop/settings_store.h"
#include "folder/folder_browser.h"
#include "folder/folder_chooser.h"
#include "folder/new_folder.h"
#include "folder/shell_actions.h"
#include "folder/shell_open.h"

class QLineEdit;
class QWidget;

namespace pelmoa {

// What the main window's folder, new-folder, browser and help buttons do, in one object the
// window keeps for its lifetime.
class FolderActions {
 public:
  // The platform's folder browser and open verb; the program folder is the executable's.
  FolderActions(SettingsStore& settings, Prompter& prompter);
  FolderActions(SettingsStore& settings, Prompter& prompter, FolderBrowser& browser,
                ShellOpen& shell, const QString& program_folder);
  ~FolderActions();

  void ChooseFolder(QWidget* owner, QLineEdit& txtFolder) { chooser_.Choose(owner, txtFolder); }
  void CreateFolder(QWidget* owner, const QString& folder_text) {
    new_folder_.Create(owner, folder_text);
  }
  void OpenPage(QWidget* owner, const QString& url_text) {
    shell_actions_.OpenPage(owner, url_text);
  }
  void OpenHelp(QWidget* owner) { shell_actions_.OpenHelp(owner); }

 private:
  std::unique_ptr<FolderBrowser> own_browser_;
  std::unique_ptr<ShellOpen> own_shell_;
  FolderChooser chooser_;
  NewFolder new_folder_;
  ShellActions shell_actions_;
};

}  // namespace pelmoa
