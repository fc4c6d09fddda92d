#pragma once

#include <QString>
#include <filesystem>
#include <system_error>

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

// The platform's part (folder_system.cpp, folder_system_win.cpp): the folder text as a path
// of its file system, and why a folder could not be made in Japanese words for the user
// (empty for an error too rare to have words of its own).
std::filesystem::path FolderPathOf(const QString& folder_text);
QString FolderErrorReason(const std::error_code& error);

}  // namespace pelmoa
