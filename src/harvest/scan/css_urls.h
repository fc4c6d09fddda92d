#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pelmoa {

// Every url(...) of the background and background-image declarations of a style
// attribute's text, in order, read as CSS reads them: quoted or not, escapes decoded,
// comments and strings passed over. A malformed url() and an empty one give nothing.
std::vector<std::string> BackgroundUrls(std::string_view style);

}  // namespace pelmoa
