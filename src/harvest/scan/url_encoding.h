#pragma once

#include <string>
#include <string_view>

namespace pelmoa {

// The address as it goes on the wire: "&amp;", "&#38;" and "&#x26;" become "&"; spaces,
// control characters and bytes outside ASCII are percent-encoded; existing %XX escapes stay.
std::string EncodeRequestUrl(std::string_view url);

// Only the first step of that: "&amp;", "&#38;" and "&#x26;" (any letter case) become "&".
std::string DecodeAmpersandReferences(std::string_view url);

}  // namespace pelmoa
