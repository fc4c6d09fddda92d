#pragma once

#include <array>
#include <string>
#include <vector>

#include "harvest/text/encoding_labels.h"

namespace pelmoa {

// The tables of the legacy encodings, each indexed by the pointer of the WHATWG Encoding
// Standard and filled once, on first use, from the ICU converter holding the same mapping
// (the same ICU version and data in every build). A zero entry is a pointer without a
// character.

// JIS X 0208 as Windows extends it (NEC row 13, the IBM rows), by Shift_JIS pointer:
// (lead − 0x81, or − 0xC1 from 0xE0) × 188 + (trail − 0x40, or − 0x41 from 0x80).
const std::vector<char32_t>& Jis0208Index();
// JIS X 0212, (row − 1) × 94 + (cell − 1).
const std::vector<char32_t>& Jis0212Index();
// Unified Hangul Code, (lead − 0x81) × 190 + (trail − 0x41).
const std::vector<char32_t>& EucKrIndex();
// Big5 with the Hong Kong additions, (lead − 0x81) × 157 + (trail − 0x40, or − 0x62 from 0xA1).
const std::vector<char32_t>& Big5Index();
// gb18030's two-byte sequences, (lead − 0x81) × 190 + (trail − 0x40, or − 0x41 from 0x80).
const std::vector<char32_t>& Gb18030Index();
// gb18030's four-byte sequences of the Basic Multilingual Plane, by their pointer (0–39419).
const std::vector<char32_t>& Gb18030FourByteIndex();
// The characters of the bytes 0x80–0xFF of a single-byte encoding (below 0x80: ASCII).
const std::array<char32_t, 128>& SingleByteIndex(Encoding encoding);

// The UTF-8 form of a code point.
inline void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

constexpr char32_t kReplacementCharacter = 0xFFFD;

}  // namespace pelmoa
