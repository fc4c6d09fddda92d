#pragma once

#include <QString>

namespace pelmoa {

// The destination folder offered when none is stored: "DLImages" in the program's folder
// where the user can write there; otherwise "DLImages" in the user's pictures folder (the
// home folder when there is none). An installed program's folder is not writable, and every
// image of a first run would fail there.
QString DefaultDownloadFolder(const QString& program_folder);

}  // namespace pelmoa
