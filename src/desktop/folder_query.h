#pragma once

#include <QString>

#include "desktop/spaces.h"

namespace pelmoa {

// The directory query of the run request: true when the text, with * and ? as wildcards
// (every other character, backslash and brackets included, stands for itself), names at
// least one existing file or folder.
bool FolderQueryMatches(const QString& text);

// Creates every missing folder of the path; the result is not examined, as before.
void MakeSureDirectoryPathExists(const QString& folder);

}  // namespace pelmoa
