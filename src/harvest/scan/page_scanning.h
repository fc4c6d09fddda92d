#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "harvest/scan/image_refs.h"
#include "harvest/text/text_search.h"

namespace pelmoa {

// Cuts attribute values out of one page text. Positions are 0-based byte offsets into the
// text. Every delimiter search runs over the whole rest of the page, not only the current
// tag; one scanner answers a scan's non-decreasing queries in linear time.
class AttrValueCutter {
 public:
  explicit AttrValueCutter(std::string_view text);
  // The value after the attribute name at position p, or nothing.
  std::optional<std::string_view> ExtractAttrValue(std::size_t p);

 private:
  std::string_view text_;
  TextFinder dquote_, dquote_end_, squote_, squote_end_, equals_, space_end_, gt_end_;
};

// One-off form of the cutter (tests and fuzzing).
std::optional<std::string_view> ExtractAttrValue(std::string_view text, std::size_t p);

// True when the value, trimmed of spaces, ends in jpg, gif or png (any case).
bool IsImageReference(std::string_view value);

// The image references of a page: every img hit paired with the next src, then every href,
// in page order, each a view of the value as it stands in the page. Every img before one src
// cuts the same value again; the test runs once for such a run of cuts.
ImageRefs ScanImageRefs(std::string_view page, const ScanStop& stop = {});

// Keyword hits between two questions to a scan's stop.
inline constexpr std::size_t kHitsPerStopCheck = 4096;

// Calls take(value) for every value the two passes of ScanImageRefs cut, before any test, in
// the order of the list: every img hit's next src, then every href. False when stopped.
template <typename Take>
bool ForEachScannedValue(std::string_view page, const ScanStop& stop, Take&& take) {
  std::size_t hits = 0;
  auto stopped = [&] { return ++hits % kHitsPerStopCheck == 0 && stop && stop(); };
  {
    TextFinder img(page, "img");
    TextFinder src(page, "src");
    AttrValueCutter cutter(page);
    for (std::size_t i = img.Find(0); i != kNotFound; i = img.Find(i + 1)) {
      if (stopped()) return false;
      const std::size_t s = src.Find(i);
      if (s == kNotFound) continue;
      if (auto v = cutter.ExtractAttrValue(s)) take(*v);
    }
  }
  {
    TextFinder href(page, "href");
    AttrValueCutter cutter(page);
    for (std::size_t h = href.Find(0); h != kNotFound; h = href.Find(h + 1)) {
      if (stopped()) return false;
      if (auto v = cutter.ExtractAttrValue(h)) take(*v);
    }
  }
  return true;
}

}  // namespace pelmoa
