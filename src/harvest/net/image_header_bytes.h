#pragma once

// Reading the fixed fields of image headers out of the first bytes of a body.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pelmoa::header_bytes {

inline std::uint32_t Byte(std::string_view s, std::size_t at) {
  return static_cast<unsigned char>(s[at]);
}
inline std::uint32_t Be16(std::string_view s, std::size_t at) {
  return Byte(s, at) << 8 | Byte(s, at + 1);
}
inline std::uint32_t Be32(std::string_view s, std::size_t at) {
  return Be16(s, at) << 16 | Be16(s, at + 2);
}
inline std::uint32_t Le16(std::string_view s, std::size_t at) {
  return Byte(s, at) | Byte(s, at + 1) << 8;
}
inline std::uint32_t Le32(std::string_view s, std::size_t at) {
  return Le16(s, at) | Le16(s, at + 2) << 16;
}

enum class Match { kNo, kPrefix, kYes };

// Whether s holds magic at offset at: kPrefix when s ends before the magic does and what
// there is agrees with it.
inline Match MatchAt(std::string_view s, std::size_t at, std::string_view magic) {
  if (s.size() <= at) return Match::kPrefix;
  const std::size_t n = s.size() - at < magic.size() ? s.size() - at : magic.size();
  if (s.substr(at, n) != magic.substr(0, n)) return Match::kNo;
  return n == magic.size() ? Match::kYes : Match::kPrefix;
}

}  // namespace pelmoa::header_bytes
