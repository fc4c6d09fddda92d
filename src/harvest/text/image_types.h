#pragma once

#include <string_view>

namespace pelmoa {

// True when name ends in .jpg, .jpeg, .gif, .png, .webp, .avif, .bmp or .svg, in any case.
bool HasImageExtension(std::string_view name);

// The extension a response's Content-Type names: ".jpg" for image/jpeg, ".png", ".gif",
// ".webp", ".avif", ".bmp", ".svg" for image/svg+xml; empty for any other type. Parameters and
// letter case are ignored.
std::string_view ImageTypeExtension(std::string_view content_type);

// The longest extension ImageTypeExtension gives: the room a name the answer's type completes
// must leave.
std::string_view LongestTypeExtension();

}  // namespace pelmoa
