#include "folder/shell_actions.h"

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
  shell_.OpenFile(program_folder_ + QLatin1Char('/') + QLatin1String(kHelpFileName));
}

}  // namespace pelmoa
