#pragma once

#include "folder/folder_browser.h"

namespace pelmoa {

// Qt's folder dialog, folders only.
class FileDialogFolderBrowser : public FolderBrowser {
 public:
  std::optional<QString> Browse(QWidget* owner, const QString& title,
                                const QString& initial) override;
};

// The folder the dialog opens in: initial itself when it exists, else its nearest existing
// ancestor, so a folder typed but not yet created still opens close to where it will be.
QString NearestExistingFolder(const QString& initial);

}  // namespace pelmoa
