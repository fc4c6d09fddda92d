#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pelmoa {

// True when the page is a frameset ("<frameset" anywhere, any case).
bool IsFramesetPage(std::string_view page);

// The frame addresses of a frameset page, in page order: every "<frame " tag's next src
// value, absolute when it begins with "http://" or "https://", otherwise the page's
// directory base followed by the value's last piece. Empty values give no entry.
std::vector<std::string> ScanFrameRefs(std::string_view page, std::string_view page_url);

}  // namespace pelmoa
