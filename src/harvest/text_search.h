#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pelmoa {

inline constexpr std::size_t kNotFound = std::string_view::npos;

// Finds the first occurrence of an ASCII needle at or after a position, ignoring ASCII
// letter case. It remembers its last answer, so a run of queries whose start positions
// never decrease costs one pass over the text in all: the page scans ask "the next quote
// after here" thousands of times, and each answer usually lies far ahead.
class TextFinder {
 public:
  TextFinder(std::string_view text, std::string_view needle);
  std::size_t Find(std::size_t from);

 private:
  std::size_t NextOfByte(unsigned char c, std::size_t from, std::size_t& cached_from,
                         std::size_t& cached_hit) const;

  std::string_view text_;
  std::string needle_;  // lower case
  unsigned char lower_ = 0, upper_ = 0;
  // Per case of the first byte: the start of the last memchr and what it found.
  std::size_t lower_from_ = kNotFound, lower_hit_ = kNotFound;
  std::size_t upper_from_ = kNotFound, upper_hit_ = kNotFound;
  std::size_t last_from_ = kNotFound, last_hit_ = kNotFound;
};

// ASCII case-insensitive "contains".
bool ContainsIgnoreCase(std::string_view text, std::string_view needle);

// Removes U+0020 from both ends.
std::string_view TrimSpaces(std::string_view s);

}  // namespace pelmoa
