#pragma once

#include <optional>
#include <string_view>

namespace pelmoa {

// The encodings of the WHATWG Encoding Standard, the only ones a page may name.
enum class Encoding {
  kUtf8,
  kIbm866,
  kIso8859_2,
  kIso8859_3,
  kIso8859_4,
  kIso8859_5,
  kIso8859_6,
  kIso8859_7,
  kIso8859_8,
  kIso8859_8I,
  kIso8859_10,
  kIso8859_13,
  kIso8859_14,
  kIso8859_15,
  kIso8859_16,
  kKoi8R,
  kKoi8U,
  kMacintosh,
  kWindows874,
  kWindows1250,
  kWindows1251,
  kWindows1252,
  kWindows1253,
  kWindows1254,
  kWindows1255,
  kWindows1256,
  kWindows1257,
  kWindows1258,
  kXMacCyrillic,
  kGbk,
  kGb18030,
  kBig5,
  kEucJp,
  kIso2022Jp,
  kShiftJis,
  kEucKr,
  kReplacement,
  kUtf16Be,
  kUtf16Le,
  kXUserDefined,
};

// The encoding a label names, matched as the standard says (ASCII case-insensitive, ASCII
// whitespace around it ignored); nothing for a label the standard does not list, on every
// platform alike.
std::optional<Encoding> EncodingForLabel(std::string_view label);

}  // namespace pelmoa
