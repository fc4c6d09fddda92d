#include "folder/new_folder.h"

#include "folder/folder_entry.h"
#include "folder/texts.h"

namespace pelmoa {

namespace texts = folder_texts;

NewFolder::NewFolder(Prompter& prompter) : prompter_(prompter) {}

void NewFolder::Create(QWidget* owner, const QString& folder_text) {
  if (FolderEntryExists(folder_text)) {
    prompter_.Show(owner, QString::fromUtf8(texts::kExistsTitle), QString::fromUtf8(texts::kExistsText),
                   QMessageBox::Warning, QMessageBox::Ok);
    return;
  }
  const FolderCreation creation = CreateFolderPath(folder_text);
  const QChar line_break(u'\n');
  if (creation.created) {
    prompter_.Show(owner, QString::fromUtf8(texts::kNewFolderTitle),
                   QString::fromUtf8(texts::kCreatedHead) + line_break + folder_text + line_break +
                       QString::fromUtf8(texts::kCreatedTail),
                   QMessageBox::Information, QMessageBox::Ok);
    return;
  }
  prompter_.Show(owner, QString::fromUtf8(texts::kNewFolderTitle),
                 QString::fromUtf8(texts::kNotCreated) + line_break + folder_text + line_break +
                     creation.reason,
                 QMessageBox::Critical, QMessageBox::Ok);
}

}  // namespace pelmoa
