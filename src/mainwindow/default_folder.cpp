#include "mainwindow/default_folder.h"

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

}  // namespace

QString DefaultDownloadFolder(const QString& program_folder) {
  const QString beside = program_folder + u'/' + kFolderName;
  // DLImages may already exist (made writable by whoever installed the program).
  if (CanCreateFilesIn(QFileInfo(beside).isDir() ? beside : program_folder)) {
    return QDir::toNativeSeparators(beside);
  }
  QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  if (pictures.isEmpty()) pictures = QDir::homePath();
  return QDir::toNativeSeparators(pictures + u'/' + kFolderName);
}

}  // namespace pelmoa
