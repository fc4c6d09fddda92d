#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pelmoa {

inline constexpr std::size_t kNotFound = std::string_view::npos;

// Finds the first occurrence of an ASCII needle at or after a position, ignoring ASCII
// letter case. It remembers its last answer, so a run of queries whose start positions
// never decrease costs one pass over the text in all: the page scans ask "the next quote
// after here" thousands of times, and each answer usually lies far ahead. The text is
// matched 64 bytes at a time with vector compares, so frequent first letters (the i of
// "img" in a page of tags) cost no call each.
class TextFinder {
 public:
  TextFinder(std::string_view text, std::string_view needle);
  // The first occurrence of either needle: one pass over the text serves both.
  TextFinder(std::string_view text, std::string_view needle, std::string_view other);
  std::size_t Find(std::size_t from);

 private:
  void SetNeedle(std::size_t j, std::string_view needle);
  // Bit b is set when a needle starts at block + b; block is a multiple of 64.
  std::uint64_t MatchMask(std::size_t block) const;
  template <std::size_t N>
  std::uint64_t MatchMaskOf(std::size_t block) const;
  std::uint64_t MatchMaskSlow(std::size_t block) const;
  // The first block at or after block that may hold a match (a multiple of 64).
  std::size_t SkipQuietBlocks(std::size_t block) const;
  // MatchMask of the block, remembered: neighbouring queries mostly land in one block.
  std::uint64_t BlockMask(std::size_t block);

  std::string_view text_;
  std::string needle_[2];  // lower case
  // Per needle byte, the bits to set before comparing: 0x20 for letters (folding both
  // cases onto the lower one), 0 for anything else.
  std::string fold_[2];
  std::size_t needles_ = 1;
  std::size_t last_from_ = kNotFound, last_hit_ = kNotFound;
  std::size_t mask_block_ = kNotFound;
  std::uint64_t mask_ = 0;
};

// ASCII letters in lower case; every other byte as it is.
inline char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// Whether `s`, or its beginning, is `lower` (written in lower case) with its ASCII letters in
// any case.
inline bool StartsWithIgnoreCase(std::string_view s, std::string_view lower) {
  if (s.size() < lower.size()) return false;
  for (std::size_t k = 0; k < lower.size(); ++k) {
    if (LowerAscii(s[k]) != lower[k]) return false;
  }
  return true;
}
inline bool EqualsIgnoreCase(std::string_view s, std::string_view lower) {
  return s.size() == lower.size() && StartsWithIgnoreCase(s, lower);
}

// ASCII case-insensitive "contains".
bool ContainsIgnoreCase(std::string_view text, std::string_view needle);

// Removes U+0020 from both ends.
std::string_view TrimSpaces(std::string_view s);

}  // namespace pelmoa
