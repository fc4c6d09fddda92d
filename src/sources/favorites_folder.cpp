#include "sources/favorites_folder.h"

#include <QDir>

namespace pelmoa {

QString FavoritesFolder() { return QDir::homePath(); }

}  // namespace pelmoa
