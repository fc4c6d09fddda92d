#include "harvest/scan/image_values.h"

#include <charconv>

#include "harvest/text/image_types.h"
#include "harvest/text/text_search.h"

namespace pelmoa {
namespace {

// The width (w) or density (x) of one candidate's descriptors; -1 when absent.
void ReadDescriptors(std::string_view descriptors, double& width, double& density) {
  std::size_t k = 0;
  while (k < descriptors.size()) {
    while (k < descriptors.size() && IsHtmlSpace(descriptors[k])) ++k;
    const std::size_t start = k;
    while (k < descriptors.size() && !IsHtmlSpace(descriptors[k])) ++k;
    const std::string_view token = descriptors.substr(start, k - start);
    if (token.size() < 2) continue;
    double value = 0;
    const char* first = token.data();
    const char* last = token.data() + token.size() - 1;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || value < 0) continue;
    if (token.back() == 'w') width = value;
    if (token.back() == 'x') density = value;
  }
}

}  // namespace

std::string_view TrimHtmlSpaces(std::string_view v) {
  while (!v.empty() && IsHtmlSpace(v.front())) v.remove_prefix(1);
  while (!v.empty() && IsHtmlSpace(v.back())) v.remove_suffix(1);
  return v;
}

bool IsDataValue(std::string_view v) { return StartsWithIgnoreCase(TrimHtmlSpaces(v), "data:"); }

bool IsAddedImageReference(std::string_view value) {
  const std::string_view v = TrimHtmlSpaces(value);
  if (StartsWithIgnoreCase(v, "data:")) return false;
  // A loop, not find_first_of, which calls memchr once per character.
  std::size_t path_end = 0;
  while (path_end < v.size() && v[path_end] != '?' && v[path_end] != '#') ++path_end;
  return HasImageExtension(v.substr(0, path_end));
}

std::optional<std::string_view> LargestSrcsetCandidate(std::string_view srcset) {
  std::optional<std::string_view> by_width;
  std::optional<std::string_view> by_density;
  double best_width = -1;
  double best_density = -1;
  std::size_t k = 0;
  const std::size_t n = srcset.size();
  while (true) {
    while (k < n && (IsHtmlSpace(srcset[k]) || srcset[k] == ',')) ++k;
    if (k >= n) break;
    const std::size_t start = k;
    while (k < n && !IsHtmlSpace(srcset[k])) ++k;
    std::string_view url = srcset.substr(start, k - start);
    std::string_view descriptors;
    if (url.back() == ',') {
      while (!url.empty() && url.back() == ',') url.remove_suffix(1);
    } else {
      // Descriptors run to the next comma outside parentheses.
      const std::size_t from = k;
      int depth = 0;
      for (; k < n; ++k) {
        const char c = srcset[k];
        if (c == '(') ++depth;
        if (c == ')' && depth > 0) --depth;
        if (c == ',' && depth == 0) break;
      }
      descriptors = srcset.substr(from, k - from);
    }
    if (url.empty() || IsDataValue(url)) continue;
    double width = -1;
    double density = -1;
    ReadDescriptors(descriptors, width, density);
    if (width >= 0) {
      if (width > best_width) {
        best_width = width;
        by_width = url;
      }
    } else {
      if (density < 0) density = 1;
      if (density > best_density) {
        best_density = density;
        by_density = url;
      }
    }
  }
  return by_width ? by_width : by_density;
}

}  // namespace pelmoa
