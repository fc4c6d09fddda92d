#include <glob.h>

#include <cerrno>

#include <QFile>

#include "desktop/folder_entry.h"
#include "desktop/texts.h"

namespace pelmoa {

bool FolderEntryExists(const QString& folder_text) {
  if (folder_text.isEmpty() || folder_text.contains(QChar(u'\0'))) return false;
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
}

std::filesystem::path FolderPathOf(const QString& folder_text) {
  return std::filesystem::path(QFile::encodeName(folder_text).toStdString());
}

QString FolderErrorReason(const std::error_code& error) {
  const auto is = [&error](std::errc e) { return error == e; };
  const char* reason = nullptr;
  if (is(std::errc::permission_denied) || is(std::errc::operation_not_permitted)) {
    reason = desktop_texts::kReasonNoPermission;
  } else if (is(std::errc::not_a_directory)) {
    reason = desktop_texts::kReasonNotADirectory;
  } else if (is(std::errc::read_only_file_system)) {
    reason = desktop_texts::kReasonReadOnly;
  } else if (is(std::errc::no_space_on_device) || error.value() == EDQUOT) {
    reason = desktop_texts::kReasonNoSpace;
  } else if (is(std::errc::filename_too_long)) {
    reason = desktop_texts::kReasonTooLong;
  } else if (is(std::errc::file_exists)) {
    reason = desktop_texts::kReasonFileInTheWay;
  } else if (is(std::errc::no_such_file_or_directory) || is(std::errc::no_such_device)) {
    reason = desktop_texts::kReasonNoSuchPlace;
  } else if (is(std::errc::illegal_byte_sequence) || is(std::errc::invalid_argument)) {
    reason = desktop_texts::kReasonBadCharacter;
  } else if (is(std::errc::device_or_resource_busy) || is(std::errc::text_file_busy)) {
    reason = desktop_texts::kReasonInUse;
  } else if (is(std::errc::io_error)) {
    reason = desktop_texts::kReasonIo;
  }
  return reason != nullptr ? QString::fromUtf8(reason) : QString();
}

}  // namespace pelmoa
