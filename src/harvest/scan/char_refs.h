#pragma once

// Attribute values as the HTML tokenizer hands them on: character references decoded, NUL
// as U+FFFD, line breaks as the input stream normalises them.

#include <string>
#include <string_view>

namespace pelmoa {

// True when the raw value holds something the tokenizer changes ('&', NUL, CR), so a value
// without any is used as it stands in the page.
bool NeedsAttributeDecoding(std::string_view raw);

// The raw text of an attribute value (between its quotes, or unquoted) as the tokenizer
// decodes it: every character reference, named ones without ';' included, where a named
// one without ';' followed by '=' or a letter or digit stays as written; numeric ones with
// the standard's replacements (0, surrogates and values past U+10FFFF become U+FFFD, 0x80 to
// 0x9F read as windows-1252); NUL becomes U+FFFD; CR LF and a lone CR become LF.
std::string DecodeAttributeValue(std::string_view raw);

}  // namespace pelmoa
