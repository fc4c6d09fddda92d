#include <windows.h>

#include <QString>

#include "desktop/folder_entry.h"
#include "desktop/texts.h"
#include "harvest/files/file_names.h"

namespace pelmoa {

bool FolderEntryExists(const QString& folder_text) {
  if (folder_text.isEmpty() || folder_text.contains(QChar(u'\0'))) return false;
  // The system's own directory query, whose only wildcards are * and ?. A folder named with a
  // trailing separator is asked for its entries, of which an existing folder always has one.
  std::wstring query = folder_text.toStdWString();
  if (query.back() == L'\\' || query.back() == L'/') query += L'*';
  WIN32_FIND_DATAW data;
  const HANDLE found = FindFirstFileW(SystemPath(query).c_str(), &data);
  if (found == INVALID_HANDLE_VALUE) return false;
  FindClose(found);
  return true;
}

std::filesystem::path FolderPathOf(const QString& folder_text) {
  return std::filesystem::path(folder_text.toStdWString());
}

// The errors are the system's own codes.
QString FolderErrorReason(const std::error_code& error) {
  const char* reason = nullptr;
  switch (error.value()) {
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
    case ERROR_NETWORK_ACCESS_DENIED:
      reason = desktop_texts::kReasonNoPermission;
      break;
    case ERROR_WRITE_PROTECT:
      reason = desktop_texts::kReasonReadOnly;
      break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      reason = desktop_texts::kReasonNoSpace;
      break;
    case ERROR_FILENAME_EXCED_RANGE:
      reason = desktop_texts::kReasonTooLong;
      break;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
      reason = desktop_texts::kReasonFileInTheWay;
      break;
    case ERROR_DIRECTORY:
      reason = desktop_texts::kReasonNotADirectory;
      break;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
      reason = desktop_texts::kReasonBadCharacter;
      break;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      reason = desktop_texts::kReasonNoSuchPlace;
      break;
    case ERROR_NOT_READY:
      reason = desktop_texts::kReasonNotReady;
      break;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      reason = desktop_texts::kReasonInUse;
      break;
    case ERROR_CRC:
    case ERROR_GEN_FAILURE:
      reason = desktop_texts::kReasonIo;
      break;
    default:
      break;
  }
  return reason != nullptr ? QString::fromUtf8(reason) : QString();
}

}  // namespace pelmoa
