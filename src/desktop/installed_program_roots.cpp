#include "desktop/default_folder.h"

namespace pelmoa {

QStringList InstalledProgramRoots() { return {QStringLiteral("/usr"), QStringLiteral("/opt")}; }

}  // namespace pelmoa
