#pragma once

// What the option for today's pages reads in one attribute value: whether it names an image
// by its path, and the candidate a srcset offers.

#include <optional>
#include <string_view>

namespace pelmoa {

inline bool IsHtmlSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

std::string_view TrimHtmlSpaces(std::string_view v);
// A data: value, spaces around it aside.
bool IsDataValue(std::string_view v);

// A value the two passes take besides the defined ones: its path, without query and
// fragment, ends in an image extension. Never a data: value. Reads the value once.
bool IsAddedImageReference(std::string_view value);

// Of a srcset value, the candidate with the largest width (w) or, when none has a width, the
// largest density (x; none counts as 1x). A tie keeps the first; data: candidates never win.
std::optional<std::string_view> LargestSrcsetCandidate(std::string_view srcset);

}  // namespace pelmoa
