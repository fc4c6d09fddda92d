#include "desktop/folder_query.h"

#include "desktop/folder_entry.h"

namespace pelmoa {

// The same directory query and folder creation as the folder buttons use.
bool FolderQueryMatches(const QString& text) { return FolderEntryExists(text); }

void MakeSureDirectoryPathExists(const QString& folder) { CreateFolderPath(folder); }

}  // namespace pelmoa
