#include "sources/file_chooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "desktop/qt_japanese.h"

#include "sources/favorites_folder.h"
#include "sources/texts.h"

namespace pelmoa {

std::unique_ptr<QFileDialog> MakeShortcutDialog(QWidget* owner, const QString& earlier_file) {
  const QFileInfo earlier(earlier_file);
  const bool resume = !earlier_file.isEmpty() && earlier.absoluteDir().exists();
  auto dialog = std::make_unique<QFileDialog>(
      owner, QString::fromUtf8(sources_texts::kFavDialogTitle),
      resume ? earlier.absolutePath() : FavoritesFolder(),
      QString::fromUtf8(sources_texts::kFavFilter));
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  dialog->setFileMode(QFileDialog::ExistingFile);
  dialog->setDefaultSuffix(QStringLiteral("url"));
  if (resume) dialog->selectFile(earlier.fileName());
  FitFileDialogColumns(*dialog);
  return dialog;
}

QString QFileDialogChooser::ChooseShortcutFile(QWidget* owner) {
  std::unique_ptr<QFileDialog> dialog = MakeShortcutDialog(owner, last_file_);
  if (dialog->exec() != QDialog::Accepted) return {};
  const QString chosen = dialog->selectedFiles().value(0);
  if (!chosen.isEmpty()) last_file_ = chosen;
  return chosen;
}

}  // namespace pelmoa
