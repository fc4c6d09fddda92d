#include "folder/folder_actions.h"

#include <QCoreApplication>

#include "folder/desktop_shell_open.h"

namespace pelmoa {

FolderActions::FolderActions(SettingsStore& settings, Prompter& prompter)
    : own_browser_(MakeFolderBrowser()),
      own_shell_(std::make_unique<DesktopShellOpen>()),
      chooser_(settings, *own_browser_, QCoreApplication::applicationDirPath()),
      new_folder_(prompter),
      shell_actions_(*own_shell_, prompter, QCoreApplication::applicationDirPath()) {}

FolderActions::FolderActions(SettingsStore& settings, Prompter& prompter,
                             FolderBrowser& browser, ShellOpen& shell,
                             const QString& program_folder)
    : chooser_(settings, browser, program_folder),
      new_folder_(prompter),
      shell_actions_(shell, prompter, program_folder) {}

FolderActions::~FolderActions() = default;

}  // namespace pelmoa
