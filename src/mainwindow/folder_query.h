#pragma once

#include <QString>

#include "spaces.h"

namespace pelmoa {

// The directory query of the run request: true when the text, read as a glob(3) pattern
// (* ? [ ] are wildcards, a backslash is an ordinary character), names at least one existing
// file or folder.
bool FolderQueryMatches(const QString& text);

// Creates every missing folder of the path; the result is not examined, as before.
void MakeSureDirectoryPathExists(const QString& folder);

}  // namespace pelmoa
