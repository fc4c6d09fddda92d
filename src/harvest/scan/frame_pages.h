#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "harvest/scan/image_refs.h"

namespace pelmoa {

// True when the page is a frameset ("<frameset" anywhere, any case).
bool IsFramesetPage(std::string_view page);

// One entry of FrameRefs, or several: frame tags that pair with the same src value one after
// the other give the same address, which is formed once and harvested `count` times.
struct FrameRef {
  std::string address;
  std::size_t count = 1;
};

// The frame addresses of a frameset page, in page order: every "<frame " tag's next src
// value, absolute when it begins with "http://" or "https://", otherwise the page's
// directory base followed by the value's last piece. Empty values give no entry.
std::vector<FrameRef> ScanFrameRefs(std::string_view page, std::string_view page_url,
                                    const ScanStop& stop = {});

}  // namespace pelmoa
