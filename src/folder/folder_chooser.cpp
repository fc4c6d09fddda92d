#include "folder/folder_chooser.h"

#include <QLineEdit>
#include <utility>

#include "folder/texts.h"

namespace pelmoa {
namespace {

const QString kApp = QStringLiteral("Pelmoa");
const QString kSection = QStringLiteral("Setting");
const QString kDLFolderKey = QStringLiteral("DLFolder");

}  // namespace

FolderChooser::FolderChooser(SettingsStore& settings, FolderBrowser& browser,
                             QString program_folder)
    : settings_(settings), browser_(browser), program_folder_(std::move(program_folder)) {}

QString FolderChooser::InitialFolder(const QString& box_text) {
  // The box text is taken as typed: a text of spaces is not empty and wins over the store.
  if (!box_text.isEmpty()) return box_text;
  return settings_.ReadSetting(kApp, kSection, kDLFolderKey, program_folder_);
}

void FolderChooser::Choose(QWidget* owner, QLineEdit& txtFolder) {
  const QString initial = InitialFolder(txtFolder.text());
  const std::optional<QString> chosen =
      browser_.Browse(owner, QString::fromUtf8(folder_texts::kFolderDialogTitle), initial);
  // An empty path is no folder: neither the box nor the store may receive it.
  if (!chosen || chosen->isEmpty()) return;
  txtFolder.setText(*chosen);
  settings_.WriteSetting(kApp, kSection, kDLFolderKey, *chosen);
}

}  // namespace pelmoa
