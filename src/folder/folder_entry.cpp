#include "folder/folder_entry.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <glob.h>
#endif

#include <QFile>
#include <filesystem>
#include <system_error>

#include "folder/texts.h"

namespace pelmoa {
namespace {

QString ReasonFor(const std::error_code& error) {
  if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted) {
    return QString::fromUtf8(folder_texts::kReasonNoPermission);
  }
  if (error == std::errc::not_a_directory) {
    return QString::fromUtf8(folder_texts::kReasonNotADirectory);
  }
  if (error == std::errc::read_only_file_system) {
    return QString::fromUtf8(folder_texts::kReasonReadOnly);
  }
  if (error == std::errc::no_space_on_device) return QString::fromUtf8(folder_texts::kReasonNoSpace);
  if (error == std::errc::filename_too_long) return QString::fromUtf8(folder_texts::kReasonTooLong);
  if (error == std::errc::file_exists) return QString::fromUtf8(folder_texts::kReasonFileInTheWay);
  // Anything rarer in the system's own words (localised by the user's locale).
  return QString::fromLocal8Bit(error.message());
}

}  // namespace

bool FolderEntryExists(const QString& folder_text) {
  if (folder_text.isEmpty() || folder_text.contains(QChar(u'\0'))) return false;
#ifdef _WIN32
  // The system's own directory query, whose only wildcards are * and ?. A folder named with a
  // trailing separator is asked for its entries, of which an existing folder always has one.
  std::wstring query = folder_text.toStdWString();
  if (query.back() == L'\\' || query.back() == L'/') query += L'*';
  WIN32_FIND_DATAW data;
  const HANDLE found = FindFirstFileW(query.c_str(), &data);
  if (found == INVALID_HANDLE_VALUE) return false;
  FindClose(found);
  return true;
#else
  // Only * and ? are wildcards, as in a directory listing: "[" is matched as itself, so that
  // an existing "photos[1]" is found and "photos[1]" does not find "photos1".
  QByteArray pattern = QFile::encodeName(folder_text);
  pattern.replace("[", "[[]");
  glob_t found = {};
  // A backslash is an ordinary character in names here, not an escape.
  const int result = glob(pattern.constData(), GLOB_NOESCAPE | GLOB_NOSORT, nullptr, &found);
  const bool exists = result == 0 && found.gl_pathc > 0;
  if (result == 0) globfree(&found);
  return exists;
#endif
}

FolderCreation CreateFolderPath(const QString& folder_text) {
  if (folder_text.isEmpty()) return {false, QString::fromUtf8(folder_texts::kReasonEmpty)};
  // A NUL would cut the name short and create a different folder than the one named.
  if (folder_text.contains(QChar(u'\0'))) {
    return {false, QString::fromUtf8(folder_texts::kReasonBadCharacter)};
  }
#ifdef _WIN32
  const std::filesystem::path path(folder_text.toStdWString());
#else
  const std::filesystem::path path(QFile::encodeName(folder_text).toStdString());
#endif
  std::error_code error;
  std::filesystem::create_directories(path, error);
  if (error) return {false, ReasonFor(error)};
  // create_directories does not fail when the name already exists as a file.
  if (!std::filesystem::is_directory(path, error)) {
    return {false, QString::fromUtf8(folder_texts::kReasonFileInTheWay)};
  }
  return {true, QString()};
}

}  // namespace pelmoa
