#pragma once

#include <QString>

namespace pelmoa {

// Removes the space characters (U+0020) at both ends, and nothing else: the trimming every
// window applies to addresses and folders.
QString TrimSpaces(const QString& text);

}  // namespace pelmoa
