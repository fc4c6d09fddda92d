#include "folder/folder_actions.h"

#include <QCoreApplication>

#ifdef _WIN32
#include "folder/shell_folder_browser.h"
#include "folder/windows_shell_open.h"
#else
#include "folder/desktop_shell_open.h"
#include "folder/file_dialog_folder_browser.h"
#endif

namespace pelmoa {
namespace {

std::unique_ptr<FolderBrowser> PlatformFolderBrowser() {
#ifdef _WIN32
  return std::make_unique<ShellFolderBrowser>();
#else
  return std::make_unique<FileDialogFolderBrowser>();
#endif
}

std::unique_ptr<ShellOpen> PlatformShellOpen() {
#ifdef _WIN32
  return std::make_unique<WindowsShellOpen>();
#else
  return std::make_unique<DesktopShellOpen>();
#endif
}

}  // namespace

FolderActions::FolderActions(SettingsStore& settings, Prompter& prompter)
    : own_browser_(PlatformFolderBrowser()),
      own_shell_(PlatformShellOpen()),
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
