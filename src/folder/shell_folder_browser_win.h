#pragma once

#include "folder/folder_browser.h"

namespace pelmoa {

// The Windows shell's own folder browser (SHBrowseForFolder), opening with the initial
// folder selected.
class ShellFolderBrowser : public FolderBrowser {
 public:
  std::optional<QString> Browse(QWidget* owner, const QString& title,
                                const QString& initial) override;
};

}  // namespace pelmoa
