#include "folder/file_dialog_folder_browser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "desktop/qt_japanese.h"

namespace pelmoa {

std::optional<QString> FileDialogFolderBrowser::Browse(QWidget* owner, const QString& title,
                                                       const QString& initial) {
  QFileDialog dialog(owner, title, NearestExistingFolder(initial));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  FitFileDialogColumns(dialog);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QString chosen = dialog.selectedFiles().value(0);
  if (chosen.isEmpty()) return std::nullopt;
  return QDir::toNativeSeparators(chosen);
}

QString NearestExistingFolder(const QString& initial) {
  if (initial.isEmpty()) return initial;
  QString candidate = QDir::cleanPath(QDir(initial).absolutePath());
  while (!QFileInfo(candidate).isDir()) {
    const QString parent = QFileInfo(candidate).path();
    if (parent == candidate) return QString();
    candidate = parent;
  }
  return candidate;
}

std::unique_ptr<FolderBrowser> MakeFolderBrowser() {
  return std::make_unique<FileDialogFolderBrowser>();
}

}  // namespace pelmoa
