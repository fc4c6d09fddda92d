#pragma once

// The scan for pages made today, an option of the run (off by default, when the run is
// exactly the defined one): lazy-loaded images, srcset, .jpeg/.webp/.avif/.bmp files and
// addresses with a query or a fragment.

#include <string_view>

#include "harvest/scan/image_refs.h"

namespace pelmoa {

// The two passes of ScanImageRefs with the wider test, then a third pass in page order over
// every data-src, data-original and data-lazy-src value and the largest candidate of every
// srcset and data-srcset value. Attribute names match whole. Then, in page order, the pass
// over the page's tags (tag_scan.h), whose values are decoded, and its base address.
// References that only the additions find are marked added; of a srcset, the reference is
// the chosen candidate.
ImageRefs ScanModernImageRefs(std::string_view page, const ScanStop& stop = {});

}  // namespace pelmoa
