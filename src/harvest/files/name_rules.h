#pragma once

#include <cstddef>
#include <string_view>

namespace pelmoa {

// No longer name is safe on any platform: 255 UTF-16 units of at most three UTF-8 bytes.
inline constexpr std::size_t kMaxSafeNameBytes = 765;
// The rules of every platform, without a length limit: not empty, ".", or "..", no slash,
// backslash or control character.
bool IsSafePortableFileName(std::string_view name);
// The Windows rules, so they can be checked on every platform: also at most 255 UTF-16
// units, none of <>:"|?*, no dot or space at the end, no device name (CON, NUL, COM1 …).
bool IsSafeWindowsFileName(std::string_view name);

}  // namespace pelmoa
