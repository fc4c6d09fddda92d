#include "folder_query.h"

#include <glob.h>

#include <QFile>
#include <filesystem>
#include <system_error>

namespace pelmoa {

bool FolderQueryMatches(const QString& text) {
  if (text.isEmpty()) return false;
  // Only * and ? are wildcards: "[" is matched as itself, so an existing "photos[1]" is found.
  QByteArray pattern = QFile::encodeName(text);
  pattern.replace("[", "[[]");
  glob_t found{};
  const int rc = glob(pattern.constData(), GLOB_NOESCAPE | GLOB_NOSORT, nullptr, &found);
  const bool matched = rc == 0 && found.gl_pathc > 0;
  globfree(&found);
  return matched;
}

void MakeSureDirectoryPathExists(const QString& folder) {
  if (folder.isEmpty()) return;
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(QFile::encodeName(folder).toStdString()),
                                      ignored);
}

}  // namespace pelmoa
