#include "harvest/text/charset_conversion.h"

#include <cstdint>

#include "harvest/text/charset_tables.h"
#include "harvest/text/cjk_decoders.h"

namespace pelmoa {
namespace {

std::string DecodeUtf8(std::string_view in) {
  std::string out;
  out.reserve(in.size());
  char32_t c = 0;
  int needed = 0;
  int seen = 0;
  std::uint8_t lower = 0x80;
  std::uint8_t upper = 0xBF;
  for (std::size_t i = 0; i < in.size(); ++i) {
    const auto b = static_cast<std::uint8_t>(in[i]);
    if (needed == 0) {
      if (b < 0x80) {
        out += static_cast<char>(b);
      } else if (b >= 0xC2 && b <= 0xDF) {
        needed = 1, c = b & 0x1F;
      } else if (b >= 0xE0 && b <= 0xEF) {
        if (b == 0xE0) lower = 0xA0;
        if (b == 0xED) upper = 0x9F;
        needed = 2, c = b & 0x0F;
      } else if (b >= 0xF0 && b <= 0xF4) {
        if (b == 0xF0) lower = 0x90;
        if (b == 0xF4) upper = 0x8F;
        needed = 3, c = b & 0x07;
      } else {
        AppendUtf8(out, kReplacementCharacter);
      }
      continue;
    }
    if (b < lower || b > upper) {
      // The sequence so far is one U+FFFD; this byte starts afresh.
      c = 0, needed = 0, seen = 0, lower = 0x80, upper = 0xBF;
      AppendUtf8(out, kReplacementCharacter);
      --i;
      continue;
    }
    lower = 0x80, upper = 0xBF;
    c = (c << 6) | (b & 0x3F);
    if (++seen == needed) {
      AppendUtf8(out, c);
      c = 0, needed = 0, seen = 0;
    }
  }
  if (needed != 0) AppendUtf8(out, kReplacementCharacter);
  return out;
}

std::string DecodeUtf16(std::string_view in, bool big_endian) {
  std::string out;
  out.reserve(in.size() + in.size() / 2);
  char16_t lead = 0;  // a leading surrogate waiting for its trail
  for (std::size_t i = 0; i + 1 < in.size(); i += 2) {
    const auto first = static_cast<std::uint8_t>(in[i]);
    const auto second = static_cast<std::uint8_t>(in[i + 1]);
    const auto unit = static_cast<char16_t>(big_endian ? first << 8 | second : second << 8 | first);
    const bool is_trail = unit >= 0xDC00 && unit <= 0xDFFF;
    if (lead != 0) {
      const char16_t leading = lead;
      lead = 0;
      if (is_trail) {
        AppendUtf8(out, 0x10000 + ((leading - 0xD800) << 10) + (unit - 0xDC00));
        continue;
      }
      AppendUtf8(out, kReplacementCharacter);  // and this unit is read as itself
    }
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      lead = unit;
    } else {
      AppendUtf8(out, is_trail ? kReplacementCharacter : unit);
    }
  }
  if (lead != 0 || in.size() % 2 != 0) AppendUtf8(out, kReplacementCharacter);
  return out;
}

std::string DecodeSingleByte(std::string_view in, const std::array<char32_t, 128>& high) {
  std::string out;
  out.reserve(in.size() + in.size() / 2);
  for (const char ch : in) {
    const auto b = static_cast<std::uint8_t>(ch);
    if (b < 0x80) {
      out += ch;
    } else {
      const char32_t c = high[b - 0x80];
      AppendUtf8(out, c != 0 ? c : kReplacementCharacter);
    }
  }
  return out;
}

std::string DecodeXUserDefined(std::string_view in) {
  std::string out;
  out.reserve(in.size() * 3);
  for (const char ch : in) {
    const auto b = static_cast<std::uint8_t>(ch);
    AppendUtf8(out, b < 0x80 ? b : 0xF780 + b - 0x80);
  }
  return out;
}

}  // namespace

std::string DecodeAs(Encoding encoding, std::string_view bytes) {
  switch (encoding) {
    case Encoding::kUtf8:
      return DecodeUtf8(bytes);
    case Encoding::kUtf16Be:
    case Encoding::kUtf16Le:
      return DecodeUtf16(bytes, encoding == Encoding::kUtf16Be);
    case Encoding::kShiftJis:
      return DecodeShiftJis(bytes);
    case Encoding::kEucJp:
      return DecodeEucJp(bytes);
    case Encoding::kIso2022Jp:
      return DecodeIso2022Jp(bytes);
    case Encoding::kEucKr:
      return DecodeEucKr(bytes);
    case Encoding::kBig5:
      return DecodeBig5(bytes);
    case Encoding::kGbk:
    case Encoding::kGb18030:
      return DecodeGb18030(bytes);
    case Encoding::kXUserDefined:
      return DecodeXUserDefined(bytes);
    case Encoding::kReplacement:
      // The encodings it stands for could hide markup; their text is one U+FFFD.
      return bytes.empty() ? std::string() : std::string("\xEF\xBF\xBD");
    default:
      return DecodeSingleByte(bytes, SingleByteIndex(encoding));
  }
}

}  // namespace pelmoa
