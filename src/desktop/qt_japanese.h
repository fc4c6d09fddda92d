#pragma once

class QFileDialog;

namespace pelmoa {

// Loads Qt's own Japanese texts (the message boxes' はい/いいえ, the file dialogs' labels),
// whatever the system's locale: every window of the program speaks Japanese. Looks in Qt's
// translations folder, then in "translations" beside the program. Returns whether they
// were found; without them Qt's standard texts stay English.
bool InstallQtJapanese();

// A file dialog built from Qt's widgets sizes its size, type and date columns to their
// contents: at their default widths the Japanese headers and sizes are cut to "1…ト".
void FitFileDialogColumns(QFileDialog& dialog);

}  // namespace pelmoa
