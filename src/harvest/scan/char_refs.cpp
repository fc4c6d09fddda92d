#include "harvest/scan/char_refs.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "harvest/text/charset_tables.h"

namespace pelmoa {
namespace {

struct NamedReference {
  std::string_view name;  // with its ';' where the standard has one
  std::string_view text;  // UTF-8
};

constexpr NamedReference kNamedReferences[] = {
#include "html_entities.inc"
};

// The longest name of the table, its ';' included.
constexpr std::size_t kLongestName = 32;

bool IsAsciiAlphanumeric(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  return (c | 0x20) - 'a' + 10;
}

const NamedReference* FindNamed(std::string_view name) {
  const auto* end = std::end(kNamedReferences);
  const auto* it =
      std::lower_bound(std::begin(kNamedReferences), end, name,
                       [](const NamedReference& r, std::string_view n) { return r.name < n; });
  return it != end && it->name == name ? it : nullptr;
}

// What a numeric reference to 0x80..0x9F stands for: the windows-1252 character, or 0
// where that code has none and the number stays.
constexpr std::uint16_t kC1Replacements[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::uint32_t NumericReplacement(std::uint32_t cp) {
  if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0xFFFD;
  if (cp >= 0x80 && cp <= 0x9F && kC1Replacements[cp - 0x80]) return kC1Replacements[cp - 0x80];
  return cp;
}

// Decodes the reference at raw[at] == '&' into out; returns the position after what it used.
std::size_t DecodeReference(std::string_view raw, std::size_t at, std::string& out) {
  std::size_t k = at + 1;
  if (k < raw.size() && raw[k] == '#') {
    ++k;
    const bool hex = k < raw.size() && (raw[k] == 'x' || raw[k] == 'X');
    if (hex) ++k;
    const std::size_t digits = k;
    std::uint32_t cp = 0;
    while (k < raw.size() && (hex ? IsHexDigit(raw[k]) : (raw[k] >= '0' && raw[k] <= '9'))) {
      // Saturates: every value past U+10FFFF reads the same.
      cp = std::min<std::uint32_t>(cp * (hex ? 16 : 10) + HexValue(raw[k]), 0x110000);
      ++k;
    }
    if (k == digits) {  // "&#" or "&#x" without digits stays as written
      out.append(raw.substr(at, k - at));
      return k;
    }
    if (k < raw.size() && raw[k] == ';') ++k;
    AppendUtf8(out, NumericReplacement(cp));
    return k;
  }
  std::size_t run = k;
  while (run < raw.size() && run - k < kLongestName && IsAsciiAlphanumeric(raw[run])) ++run;
  // The longest name of the table that the text begins with; only the name that takes the
  // whole run can end in ';'.
  const bool semicolon = run < raw.size() && raw[run] == ';';
  for (std::size_t end = run + (semicolon ? 1 : 0); end > k; --end) {
    const NamedReference* r = FindNamed(raw.substr(k, end - k));
    if (!r) continue;
    // In an attribute, "&copy=" and "&copyx" are text (a query such as "?a=1&copy=2").
    if (raw[end - 1] != ';' && end < raw.size() &&
        (raw[end] == '=' || IsAsciiAlphanumeric(raw[end]))) {
      break;
    }
    out.append(r->text);
    return end;
  }
  out += '&';
  return k;
}

}  // namespace

bool NeedsAttributeDecoding(std::string_view raw) {
  for (const char c : raw) {
    if (c == '&' || c == '\0' || c == '\r') return true;
  }
  return false;
}

std::string DecodeAttributeValue(std::string_view raw) {
  std::string out;
  out.reserve(raw.size());
  for (std::size_t k = 0; k < raw.size();) {
    const char c = raw[k];
    if (c == '&') {
      k = DecodeReference(raw, k, out);
    } else if (c == '\0') {
      out += "\xEF\xBF\xBD";
      ++k;
    } else if (c == '\r') {
      out += '\n';
      k += (k + 1 < raw.size() && raw[k + 1] == '\n') ? 2 : 1;
    } else {
      out += c;
      ++k;
    }
  }
  return out;
}

}  // namespace pelmoa
