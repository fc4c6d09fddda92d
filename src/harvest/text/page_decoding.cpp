#include "harvest/text/page_decoding.h"

#include <optional>

#include "harvest/text/charset_conversion.h"
#include "harvest/text/encoding_labels.h"
#include "harvest/text/text_search.h"

namespace pelmoa {
namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return out;
}

// The token after "charset=" (quotes allowed), from position at.
std::string CharsetTokenAt(std::string_view s, std::size_t at) {
  while (at < s.size() && (s[at] == ' ' || s[at] == '"' || s[at] == '\'')) ++at;
  std::size_t end = at;
  while (end < s.size()) {
    char c = s[end];
    if (c == '"' || c == '\'' || c == ';' || c == ' ' || c == '>' || c == '/' || c == ',' ||
        c == '\t' || c == '\r' || c == '\n') {
      break;
    }
    ++end;
  }
  return Lower(s.substr(at, end - at));
}

}  // namespace

bool IsValidUtf8(std::string_view s) {
  std::size_t i = 0;
  const std::size_t n = s.size();
  while (i < n) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t len;
    unsigned min;
    unsigned cp;
    if ((c & 0xe0) == 0xc0) {
      len = 2, min = 0x80, cp = c & 0x1f;
    } else if ((c & 0xf0) == 0xe0) {
      len = 3, min = 0x800, cp = c & 0x0f;
    } else if ((c & 0xf8) == 0xf0) {
      len = 4, min = 0x10000, cp = c & 0x07;
    } else {
      return false;
    }
    if (n - i < len) return false;
    for (std::size_t k = 1; k < len; ++k) {
      const auto cc = static_cast<unsigned char>(s[i + k]);
      if ((cc & 0xc0) != 0x80) return false;
      cp = (cp << 6) | (cc & 0x3f);
    }
    if (cp < min || cp > 0x10ffff || (cp >= 0xd800 && cp <= 0xdfff)) return false;
    i += len;
  }
  return true;
}

std::string CharsetFromContentType(std::string_view content_type) {
  std::string lower = Lower(content_type);
  std::size_t at = lower.find("charset=");
  if (at == std::string::npos) return {};
  return CharsetTokenAt(lower, at + 8);
}

std::string CharsetFromMeta(std::string_view head) {
  std::string lower = Lower(head);
  std::size_t at = lower.find("charset");
  while (at != std::string::npos) {
    std::size_t p = at + 7;
    while (p < lower.size() && lower[p] == ' ') ++p;
    if (p < lower.size() && lower[p] == '=') return CharsetTokenAt(lower, p + 1);
    at = lower.find("charset", at + 1);
  }
  return {};
}

namespace {

// Decodes bytes, or (returning nothing) says that the text is bytes from *keep_from on,
// unchanged: the caller then keeps the body's own buffer instead of a copy of it.
std::optional<std::string> Decode(std::string_view bytes, std::string_view content_type,
                                  std::size_t* keep_from) {
  *keep_from = 0;
  auto decode_as = [&](Encoding encoding, std::size_t from) -> std::optional<std::string> {
    const std::string_view body = bytes.substr(from);
    if (encoding == Encoding::kUtf8 && IsValidUtf8(body)) {
      *keep_from = from;
      return std::nullopt;
    }
    return DecodeAs(encoding, body);
  };

  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return decode_as(Encoding::kUtf8, 3);
  if (bytes.substr(0, 2) == "\xFF\xFE") return decode_as(Encoding::kUtf16Le, 2);
  if (bytes.substr(0, 2) == "\xFE\xFF") return decode_as(Encoding::kUtf16Be, 2);

  // An unknown label is passed over to the next rule.
  if (std::optional<Encoding> e = EncodingForLabel(CharsetFromContentType(content_type))) {
    return decode_as(*e, 0);
  }
  if (std::optional<Encoding> e = EncodingForLabel(CharsetFromMeta(bytes.substr(0, 1024)))) {
    // A page whose markup reads as ASCII is no UTF-16 page, whatever it says of itself; and
    // browsers read a <meta> x-user-defined as windows-1252.
    if (*e == Encoding::kUtf16Be || *e == Encoding::kUtf16Le) e = Encoding::kUtf8;
    if (*e == Encoding::kXUserDefined) e = Encoding::kWindows1252;
    return decode_as(*e, 0);
  }
  if (IsValidUtf8(bytes)) return std::nullopt;
  return decode_as(Encoding::kShiftJis, 0);
}

}  // namespace

std::string DecodePage(std::string_view bytes, std::string_view content_type) {
  std::size_t keep_from = 0;
  if (std::optional<std::string> text = Decode(bytes, content_type, &keep_from)) {
    return std::move(*text);
  }
  return std::string(bytes.substr(keep_from));
}

std::string DecodePage(std::string&& bytes, std::string_view content_type) {
  std::size_t keep_from = 0;
  if (std::optional<std::string> text = Decode(bytes, content_type, &keep_from)) {
    return std::move(*text);
  }
  bytes.erase(0, keep_from);
  return std::move(bytes);
}

}  // namespace pelmoa
