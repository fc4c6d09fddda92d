#pragma once

#include <QString>

#include "desktop/settings_store.h"
#include "folder/folder_browser.h"

class QLineEdit;
class QWidget;

namespace pelmoa {

// Picks the destination folder in the folder browser and remembers it for the next start.
class FolderChooser {
 public:
  // program_folder is the default start folder when the box is empty and none is stored.
  FolderChooser(SettingsStore& settings, FolderBrowser& browser, QString program_folder);

  // Opens the browser on the folder of txtFolder (or the stored one, or the program folder).
  // A confirmed folder goes into txtFolder and is stored as DLFolder in the same click;
  // cancelling changes neither.
  void Choose(QWidget* owner, QLineEdit& txtFolder);

 private:
  QString InitialFolder(const QString& box_text);

  SettingsStore& settings_;
  FolderBrowser& browser_;
  QString program_folder_;
};

}  // namespace pelmoa
