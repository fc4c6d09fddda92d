#pragma once

#include <QIcon>

namespace pelmoa {

// The viewer frame's own icon: a framed landscape, drawn rather than shipped as a file.
QIcon ViewerIcon();

}  // namespace pelmoa
