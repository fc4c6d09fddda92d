#include "harvest/scan/url_encoding.h"

#include <algorithm>

#include "harvest/text/text_search.h"

namespace pelmoa {
namespace {

// The length of the reference to '&' at url[i], or 0.
std::size_t AmpersandReferenceAt(std::string_view url, std::size_t i) {
  if (url[i] != '&') return 0;
  const std::string_view at = url.substr(i);
  if (StartsWithIgnoreCase(at, "&amp;") || StartsWithIgnoreCase(at, "&#38;")) return 5;
  if (StartsWithIgnoreCase(at, "&#x26;")) return 6;
  return 0;
}

}  // namespace

std::string DecodeAmpersandReferences(std::string_view url) {
  std::string out;
  out.reserve(url.size());
  // From one '&' to the next: a value as long as the page is copied in pieces, not by bytes.
  for (std::size_t i = 0; i < url.size();) {
    const std::size_t amp = std::min(url.find('&', i), url.size());
    out.append(url.substr(i, amp - i));
    if (amp == url.size()) break;
    const std::size_t len = AmpersandReferenceAt(url, amp);
    out += '&';
    i = amp + std::max<std::size_t>(len, 1);
  }
  return out;
}

std::string EncodeRequestUrl(std::string_view url) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(url.size());
  for (std::size_t i = 0; i < url.size();) {
    if (const std::size_t len = AmpersandReferenceAt(url, i)) {
      out += '&';
      i += len;
      continue;
    }
    const auto c = static_cast<unsigned char>(url[i]);
    if (c <= 0x20 || c >= 0x7f || c == '"' || c == '<' || c == '>' || c == '\\' || c == '^' ||
        c == '`' || c == '{' || c == '|' || c == '}') {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
    ++i;
  }
  return out;
}

}  // namespace pelmoa
