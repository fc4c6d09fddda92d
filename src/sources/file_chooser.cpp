#include "sources/file_chooser.h"

#include <QDir>
#include <QFileDialog>

#include "sources/favorites_folder.h"
#include "sources/texts.h"

namespace pelmoa {

std::unique_ptr<QFileDialog> MakeShortcutDialog(QWidget* owner) {
  auto dialog =
      std::make_unique<QFileDialog>(owner, QString::fromUtf8(sources_texts::kFavDialogTitle),
                                    FavoritesFolder(), QString::fromUtf8(sources_texts::kFavFilter));
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  dialog->setFileMode(QFileDialog::ExistingFile);
  dialog->setDefaultSuffix(QStringLiteral("url"));
  return dialog;
}

QString QFileDialogChooser::ChooseShortcutFile(QWidget* owner) {
  std::unique_ptr<QFileDialog> dialog = MakeShortcutDialog(owner);
  if (dialog->exec() != QDialog::Accepted) return {};
  return dialog->selectedFiles().value(0);
}

}  // namespace pelmoa
