#include "desktop/folder_entry.h"

#include "desktop/texts.h"
#include "harvest/files/file_names.h"

namespace pelmoa {

FolderCreation CreateFolderPath(const QString& folder_text) {
  if (folder_text.isEmpty()) return {false, QString::fromUtf8(desktop_texts::kReasonEmpty)};
  // A NUL would cut the name short and create a different folder than the one named.
  if (folder_text.contains(QChar(u'\0'))) {
    return {false, QString::fromUtf8(desktop_texts::kReasonBadCharacter)};
  }
  if (const std::error_code error = MakeDirectoryPath(FolderPathOf(folder_text))) {
    QString reason = FolderErrorReason(error);
    // Not the system's own words for the rarer ones: they come in the language of its
    // installation, not the program's. The number is enough to look it up.
    if (reason.isEmpty()) {
      reason = QString::fromUtf8(desktop_texts::kReasonOtherHead) + QString::number(error.value()) +
               QString::fromUtf8(desktop_texts::kReasonOtherTail);
    }
    return {false, reason};
  }
  return {true, QString()};
}

}  // namespace pelmoa
