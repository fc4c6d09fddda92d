#pragma once

#include <QString>

namespace pelmoa {

// Whether anything answers to the folder text as a directory listing would: an existing
// folder, an existing file, or any entry a wildcard (* or ?) in the text matches. The text is
// used as given, not trimmed. An empty text matches nothing.
bool FolderEntryExists(const QString& folder_text);

struct FolderCreation {
  bool created = false;
  QString reason;  // why not, in words for the user; empty when created
};

// Creates the folder and every missing folder above it.
FolderCreation CreateFolderPath(const QString& folder_text);

}  // namespace pelmoa
