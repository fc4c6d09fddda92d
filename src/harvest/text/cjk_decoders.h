#pragma once

#include <string>
#include <string_view>

namespace pelmoa {

// The decoders of the multi-byte legacy encodings, as the WHATWG Encoding Standard defines
// them, to UTF-8: a byte sequence that does not decode becomes one U+FFFD, and an ASCII byte
// where a trail byte should be is read again as itself, so a stray lead byte never hides the
// '.' or '"' after it.
std::string DecodeShiftJis(std::string_view bytes);
std::string DecodeEucJp(std::string_view bytes);
std::string DecodeIso2022Jp(std::string_view bytes);
std::string DecodeEucKr(std::string_view bytes);
std::string DecodeBig5(std::string_view bytes);
// gbk decodes as gb18030.
std::string DecodeGb18030(std::string_view bytes);

}  // namespace pelmoa
