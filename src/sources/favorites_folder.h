#pragma once

#include <QString>

namespace pelmoa {

// Where the Internet shortcut dialog starts the first time: the user's Favorites folder on
// Windows (the shell's CSIDL_FAVORITES), the home folder elsewhere. Nothing is created.
QString FavoritesFolder();

}  // namespace pelmoa
