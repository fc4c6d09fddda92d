#pragma once

#include "desktop/prompter.h"
#include "sources/file_chooser.h"

class QLineEdit;
class QWidget;

namespace pelmoa {

enum class ShortcutImport {
  kCancelled,   // the user cancelled the dialog; nothing changed
  kImported,    // the address box holds the file's address
  kNoAddress,   // the file holds no "URL=" field; the user was told, the box is unchanged
  kUnreadable,  // the file could not be read (or is far too large to be a shortcut)
};

// Shortcut files are a few hundred bytes; anything past this is not one.
inline constexpr qint64 kMaxShortcutFileBytes = 16 * 1024 * 1024;

// What the main window's Favorites button does: asks for a shortcut file and puts the
// address found in it into txt_url.
ShortcutImport TakeShortcutUrl(QWidget* owner, QLineEdit* txt_url, FileChooser& chooser,
                               Prompter& prompter);

}  // namespace pelmoa
