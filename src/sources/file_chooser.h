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
// filter for *.url, existing files only. It starts in the folder of earlier_file with that
// file's name filled in, or in FavoritesFolder() when there is no earlier file or its folder
// is gone.
std::unique_ptr<QFileDialog> MakeShortcutDialog(QWidget* owner,
                                                const QString& earlier_file = QString());

// The platform's chooser of shortcut files for the main window: Qt's open dialog on Linux,
// the shell's own on Windows. Either keeps the folder and file name of the last chosen file
// from one use to the next, for as long as the program runs.
std::unique_ptr<FileChooser> MakeShortcutChooser();

// Keeps the folder and file name of the last chosen file from one use to the next, for as
// long as the program runs.
class QFileDialogChooser : public FileChooser {
 public:
  QString ChooseShortcutFile(QWidget* owner) override;

 private:
  QString last_file_;
};

}  // namespace pelmoa
