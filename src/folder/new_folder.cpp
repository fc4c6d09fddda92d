#include "folder/new_folder.h"

#include <QDir>

#include "desktop/folder_entry.h"
#include "desktop/spaces.h"
#include "folder/texts.h"

namespace pelmoa {

namespace texts = folder_texts;

NewFolder::NewFolder(Prompter& prompter) : prompter_(prompter) {}

void NewFolder::Create(QWidget* owner, const QString& box_text) {
  // Trimmed as the run trims it: " /data/img" must not create a relative folder named
  // " /data/img", nor "/data/img " a folder "img " that the next run would not find.
  const QString folder_text = TrimSpaces(box_text);
  const QChar line_break(u'\n');
  auto fail = [&](const QString& reason) {
    prompter_.Show(owner, QString::fromUtf8(texts::kNewFolderTitle),
                   QString::fromUtf8(texts::kNotCreated) + line_break + folder_text + line_break +
                       reason,
                   QMessageBox::Critical, QMessageBox::Ok);
  };
  // A relative path would land under whatever the working folder happens to be.
  if (!folder_text.isEmpty() && QDir::isRelativePath(folder_text)) {
    fail(QString::fromUtf8(texts::kReasonRelative));
    return;
  }
  if (FolderEntryExists(folder_text)) {
    prompter_.Show(owner, QString::fromUtf8(texts::kExistsTitle), QString::fromUtf8(texts::kExistsText),
                   QMessageBox::Warning, QMessageBox::Ok);
    return;
  }
  const FolderCreation creation = CreateFolderPath(folder_text);
  if (!creation.created) {
    fail(creation.reason);
    return;
  }
  prompter_.Show(owner, QString::fromUtf8(texts::kNewFolderTitle),
                 QString::fromUtf8(texts::kCreatedHead) + line_break + folder_text + line_break +
                     QString::fromUtf8(texts::kCreatedTail),
                 QMessageBox::Information, QMessageBox::Ok);
}

}  // namespace pelmoa
