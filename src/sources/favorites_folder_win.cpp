#include <QDir>

// clang-format off
#include <windows.h>
#include <shlobj.h>
// clang-format on

#include "sources/favorites_folder.h"

namespace pelmoa {

QString FavoritesFolder() {
  wchar_t path[MAX_PATH] = {};
  if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_FAVORITES, nullptr, SHGFP_TYPE_CURRENT, path))) {
    return QDir::fromNativeSeparators(QString::fromWCharArray(path));
  }
  return QDir::homePath();
}

}  // namespace pelmoa
