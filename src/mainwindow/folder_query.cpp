#include "folder_query.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <glob.h>
#endif

#include <QFile>
#include <filesystem>
#include <system_error>

namespace pelmoa {

bool FolderQueryMatches(const QString& text) {
  if (text.isEmpty()) return false;
#ifdef _WIN32
  // The shell's own query: * and ? are its only wildcards. A folder named with a trailing
  // separator is asked for its entries, of which an existing folder always has one.
  std::wstring pattern = text.toStdWString();
  if (pattern.back() == L'\\' || pattern.back() == L'/') pattern += L'*';
  WIN32_FIND_DATAW data;
  const HANDLE found = FindFirstFileW(pattern.c_str(), &data);
  if (found == INVALID_HANDLE_VALUE) return false;
  FindClose(found);
  return true;
#else
  // Only * and ? are wildcards: "[" is matched as itself, so an existing "photos[1]" is found.
  QByteArray pattern = QFile::encodeName(text);
  pattern.replace("[", "[[]");
  glob_t found{};
  const int rc = glob(pattern.constData(), GLOB_NOESCAPE | GLOB_NOSORT, nullptr, &found);
  const bool matched = rc == 0 && found.gl_pathc > 0;
  globfree(&found);
  return matched;
#endif
}

void MakeSureDirectoryPathExists(const QString& folder) {
  if (folder.isEmpty()) return;
  std::error_code ignored;
#ifdef _WIN32
  const std::filesystem::path path(folder.toStdWString());
#else
  const std::filesystem::path path(QFile::encodeName(folder).toStdString());
#endif
  std::filesystem::create_directories(path, ignored);
}

}  // namespace pelmoa
