#pragma once

#include <string>
#include <string_view>

namespace pelmoa {

// Conversion of a page's bytes to UTF-8 by a charset label ("shift_jis", "euc-jp", …), done
// by the platform's own converter: ICU where the program is built with it, the system's code
// pages on Windows.

// Whether the label names a charset this converter knows.
bool IsKnownCharset(const std::string& label);

// The bytes as UTF-8; bytes that do not decode become U+FFFD. An unknown label gives "".
std::string ConvertToUtf8(const std::string& label, std::string_view bytes);

}  // namespace pelmoa
