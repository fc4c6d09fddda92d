#include "sources/favorites_folder.h"

#include <QDir>

#ifdef _WIN32
// clang-format off
#include <windows.h>
#include <shlobj.h>
// clang-format on
#endif

namespace pelmoa {

QString FavoritesFolder() {
#ifdef _WIN32
  wchar_t path[MAX_PATH] = {};
  if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_FAVORITES, nullptr, SHGFP_TYPE_CURRENT, path))) {
    return QDir::fromNativeSeparators(QString::fromWCharArray(path));
  }
#endif
  return QDir::homePath();
}

}  // namespace pelmoa
