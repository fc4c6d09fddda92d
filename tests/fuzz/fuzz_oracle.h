#pragma once

// Plain, obviously correct searches the fuzz targets compare the fast scanners against.

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

namespace pelmoa::fuzz {

inline constexpr std::size_t kNone = std::string_view::npos;

inline char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

inline std::size_t PlainFind(std::string_view text, std::string_view needle, std::size_t from) {
  if (needle.empty() || from >= text.size() || text.size() - from < needle.size()) return kNone;
  for (std::size_t i = from; i + needle.size() <= text.size(); ++i) {
    std::size_t k = 0;
    while (k < needle.size() && LowerAscii(text[i + k]) == LowerAscii(needle[k])) ++k;
    if (k == needle.size()) return i;
  }
  return kNone;
}

// The attribute value rule read straight off its description: a double quote anywhere later
// wins, then a single quote, then an unquoted value after '=' that ends at a space or '>'.
inline std::optional<std::string_view> PlainExtract(std::string_view text, std::size_t p) {
  std::size_t start = kNone, end = kNone;
  if (std::size_t q2 = PlainFind(text, "\"", p); q2 != kNone) {
    start = q2;
    end = PlainFind(text, "\"", q2 + 1);
  } else if (std::size_t q1 = PlainFind(text, "'", p); q1 != kNone) {
    start = q1;
    end = PlainFind(text, "'", q1 + 1);
  } else if (std::size_t eq = PlainFind(text, "=", p); eq != kNone) {
    start = eq;
    while (start + 1 < text.size() && text[start + 1] == ' ') ++start;
    end = PlainFind(text, " ", start + 1);
    const std::size_t gt = PlainFind(text, ">", start + 1);
    if (gt == kNone || end == kNone || gt < end) end = gt;
  }
  if (start == kNone || end == kNone) return std::nullopt;
  return text.substr(start + 1, end - start - 1);
}

[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "fuzz oracle: %s\n", what);
  std::abort();
}

inline void Check(bool ok, const char* what) {
  if (!ok) Fail(what);
}

}  // namespace pelmoa::fuzz
