#include "folder/shell_actions.h"

#include <QDir>
#include <QFileInfo>
#include <utility>

#include "folder/browser_address.h"

namespace pelmoa {

ShellActions::ShellActions(ShellOpen& shell, QString program_folder)
    : shell_(shell), program_folder_(std::move(program_folder)) {}

void ShellActions::OpenPage(const QString& url_text) {
  if (const std::optional<QString> address = BrowserAddress(url_text)) {
    shell_.OpenAddress(*address);
  }
}

void ShellActions::OpenHelp() {
  const QString beside = program_folder_ + QLatin1Char('/') + QLatin1String(kHelpFileName);
  // Installed under a prefix, the programs are in bin and the help in share/pelmoa.
  const QString installed = QDir::cleanPath(program_folder_ + QStringLiteral("/../share/pelmoa/") +
                                            QLatin1String(kHelpFileName));
  const bool only_installed = !QFileInfo::exists(beside) && QFileInfo::exists(installed);
  shell_.OpenFile(only_installed ? installed : beside);
}

}  // namespace pelmoa
