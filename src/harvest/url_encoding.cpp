#include "harvest/url_encoding.h"

namespace pelmoa {
namespace {

bool StartsWithIgnoreCase(std::string_view s, std::size_t at, std::string_view lower) {
  if (s.size() - at < lower.size()) return false;
  for (std::size_t k = 0; k < lower.size(); ++k) {
    char c = s[at + k];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c != lower[k]) return false;
  }
  return true;
}

}  // namespace

std::string EncodeRequestUrl(std::string_view url) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(url.size());
  for (std::size_t i = 0; i < url.size();) {
    if (url[i] == '&') {
      std::size_t len = 0;
      if (StartsWithIgnoreCase(url, i, "&amp;")) len = 5;
      else if (StartsWithIgnoreCase(url, i, "&#38;")) len = 5;
      else if (StartsWithIgnoreCase(url, i, "&#x26;")) len = 6;
      if (len) {
        out += '&';
        i += len;
        continue;
      }
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
