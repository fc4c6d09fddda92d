#pragma once

// The scan for pages made today, an option of the run (off by default, when the run is
// exactly the defined one): lazy-loaded images, srcset, .jpeg/.webp/.avif/.bmp files and
// addresses with a query or a fragment.

#include <optional>
#include <string_view>

#include "harvest/image_refs.h"

namespace pelmoa {

// A value the two passes take besides the defined ones: its path, without query and
// fragment, ends in an image extension. Never a data: value. Reads the value once.
bool IsAddedImageReference(std::string_view value);

// Of a srcset value, the candidate with the largest width (w) or, when none has a width, the
// largest density (x; none counts as 1x). A tie keeps the first; data: candidates never win.
std::optional<std::string_view> LargestSrcsetCandidate(std::string_view srcset);

// The two passes of ScanImageRefs with the wider test, then a third pass in page order over
// every data-src, data-original and data-lazy-src value and the largest candidate of every
// srcset and data-srcset value. Attribute names match whole. Then, in page order, the pass
// over the page's tags (tag_scan.h), whose values are decoded, and its base address.
// References that only the additions find are marked added; of a srcset, the reference is
// the chosen candidate.
ImageRefs ScanModernImageRefs(std::string_view page, const ScanStop& stop = {});

}  // namespace pelmoa
