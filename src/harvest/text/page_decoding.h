#pragma once

#include <string>
#include <string_view>

namespace pelmoa {

// The page as UTF-8: by its byte-order mark, else the charset of the Content-Type header,
// else a <meta> charset in its first 1024 bytes, else UTF-8 when it is valid UTF-8, else
// Shift_JIS (windows-31j). A label is known when the WHATWG Encoding Standard lists it; an
// unknown one is passed over. Each byte sequence that does not decode becomes one U+FFFD.
std::string DecodePage(std::string_view bytes, std::string_view content_type);
// The same, reusing the body's buffer when it needs no conversion, so a large page is never
// held twice.
std::string DecodePage(std::string&& bytes, std::string_view content_type);

bool IsValidUtf8(std::string_view bytes);

// The charset named by a Content-Type value or a <meta> declaration, lower case; "" if none.
std::string CharsetFromContentType(std::string_view content_type);
std::string CharsetFromMeta(std::string_view head);

}  // namespace pelmoa
