#include "sources/file_chooser.h"

namespace pelmoa {

std::unique_ptr<FileChooser> MakeShortcutChooser() { return std::make_unique<QFileDialogChooser>(); }

}  // namespace pelmoa
