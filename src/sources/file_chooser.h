#pragma once

#include <QString>
#include <memory>

class QFileDialog;
class QWidget;

namespace pelmoa {

// Asks the user for an existing Internet shortcut file.
class FileChooser {
 public:
  virtual ~FileChooser() = default;
  // The chosen file's full path, or an empty text when the user cancelled.
  virtual QString ChooseShortcutFile(QWidget* owner) = 0;
};

// The open dialog for shortcut files, set up but not shown: titled "お気に入りを開く", one
// filter for *.url, existing files only, starting in the home folder.
std::unique_ptr<QFileDialog> MakeShortcutDialog(QWidget* owner);

class QFileDialogChooser : public FileChooser {
 public:
  QString ChooseShortcutFile(QWidget* owner) override;
};

}  // namespace pelmoa
