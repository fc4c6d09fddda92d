#include "desktop/default_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace pelmoa {
namespace {

const QString kFolderName = QStringLiteral("DLImages");

// Whether a file can be created in the folder: tried, because the permission bits say
// nothing for an administrator, a read-only mount or a system folder such as /proc.
bool CanCreateFilesIn(const QString& folder) {
  if (!QFileInfo(folder).isDir()) return false;
  QTemporaryFile probe(folder + QStringLiteral("/.pelmoa-write-test-XXXXXX"));
  return probe.open();
}

// Letter case aside, as Windows names folders.
bool IsInstalled(const QString& program_folder) {
  const QString folder = QDir::cleanPath(QDir::fromNativeSeparators(program_folder));
  for (const QString& root : InstalledProgramRoots()) {
    const QString r = QDir::cleanPath(QDir::fromNativeSeparators(root));
    if (r.isEmpty()) continue;
    if (folder.compare(r, Qt::CaseInsensitive) == 0 ||
        folder.startsWith(r.endsWith(u'/') ? r : r + u'/', Qt::CaseInsensitive)) {
      return true;
    }
  }
  return false;
}

}  // namespace

QString DefaultDownloadFolder(const QString& program_folder) {
  const QString beside = program_folder + u'/' + kFolderName;
  // DLImages may already exist (made writable by whoever set the program up).
  if (!IsInstalled(program_folder) &&
      CanCreateFilesIn(QFileInfo(beside).isDir() ? beside : program_folder)) {
    return QDir::toNativeSeparators(beside);
  }
  QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  if (pictures.isEmpty()) pictures = QDir::homePath();
  return QDir::toNativeSeparators(pictures + u'/' + kFolderName);
}

}  // namespace pelmoa
