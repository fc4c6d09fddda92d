#include "folder/shell_actions.h"

#include <QDir>
#include <QFileInfo>
#include <utility>

#include "folder/browser_address.h"
#include "folder/texts.h"

namespace pelmoa {

ShellActions::ShellActions(ShellOpen& shell, Prompter& prompter, QString program_folder)
    : shell_(shell), prompter_(prompter), program_folder_(std::move(program_folder)) {}

void ShellActions::TellNotStarted(QWidget* owner, const char* what, const QString& target) {
  prompter_.Show(owner, QString::fromUtf8(folder_texts::kShellTitle),
                 QString::fromUtf8(what) + u'\n' + target, QMessageBox::Warning,
                 QMessageBox::Ok);
}

void ShellActions::OpenPage(QWidget* owner, const QString& url_text) {
  if (const std::optional<QString> address = BrowserAddress(url_text)) {
    shell_.OpenAddress(*address);
    if (!shell_.LastOpenStarted()) TellNotStarted(owner, folder_texts::kNoBrowser, *address);
  }
}

void ShellActions::OpenHelp(QWidget* owner) {
  const QString beside = program_folder_ + QLatin1Char('/') + QLatin1String(kHelpFileName);
  // Installed under a prefix, the programs are in bin and the help in share/pelmoa.
  const QString installed = QDir::cleanPath(program_folder_ + QStringLiteral("/../share/pelmoa/") +
                                            QLatin1String(kHelpFileName));
  const bool only_installed = !QFileInfo::exists(beside) && QFileInfo::exists(installed);
  const QString help = only_installed ? installed : beside;
  shell_.OpenFile(help);
  // Shown as the system writes paths (backslashes on Windows), as every other path is.
  if (!shell_.LastOpenStarted()) {
    TellNotStarted(owner, folder_texts::kNoHelpViewer, QDir::toNativeSeparators(help));
  }
}

}  // namespace pelmoa
