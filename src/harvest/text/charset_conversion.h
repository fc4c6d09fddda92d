#pragma once

#include <string>
#include <string_view>

#include "harvest/text/encoding_labels.h"

namespace pelmoa {

// The bytes as UTF-8, decoded as the WHATWG Encoding Standard decodes the encoding (no
// byte-order mark is looked for here): each byte sequence that does not decode becomes one
// U+FFFD, and an ASCII byte is never taken into such a sequence. The same bytes give the same
// text in every build.
std::string DecodeAs(Encoding encoding, std::string_view bytes);

}  // namespace pelmoa
