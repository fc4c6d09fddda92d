#pragma once

#include <QString>
#include <QStringList>

namespace pelmoa {

// The destination folder offered when none is stored: "DLImages" in the program's folder for
// a copy unpacked where the user can write; otherwise "DLImages" in the user's pictures
// folder (the home folder when there is none). An installed program's folder is either not
// writable, and every image of a first run would fail there, or hidden from the user.
QString DefaultDownloadFolder(const QString& program_folder);

// The folders programs are installed into (installed_program_roots.cpp, *_win.cpp): /usr
// and /opt; on Windows the Program Files folders, the per-user Programs folder and the
// folder the installer recorded.
QStringList InstalledProgramRoots();

}  // namespace pelmoa
