#include "harvest/scan/frame_pages.h"

#include "harvest/scan/link_resolution.h"
#include "harvest/scan/page_scanning.h"
#include "harvest/text/text_search.h"

namespace pelmoa {

bool IsFramesetPage(std::string_view page) { return ContainsIgnoreCase(page, "<frameset"); }

std::vector<FrameRef> ScanFrameRefs(std::string_view page, std::string_view page_url,
                                    const ScanStop& stop) {
  std::vector<FrameRef> frames;
  const std::string base = DirectoryBase(page_url);
  TextFinder frame(page, "<frame ");
  TextFinder src(page, "src");
  AttrValueCutter cutter(page);
  std::string_view last;
  std::size_t hits = 0;
  for (std::size_t f = frame.Find(0); f != kNotFound; f = frame.Find(f + 1)) {
    if (++hits % kHitsPerStopCheck == 0 && stop && stop()) break;
    const std::size_t s = src.Find(f);
    if (s == kNotFound) continue;
    const auto v = cutter.ExtractAttrValue(s);
    if (!v || v->empty()) continue;
    if (SameCut(*v, last)) {
      ++frames.back().count;
      continue;
    }
    last = *v;
    if (v->substr(0, 7) == "http://" || v->substr(0, 8) == "https://") {
      frames.push_back({std::string(*v)});
    } else {
      const std::size_t slash = v->rfind('/');
      frames.push_back(
          {base + std::string(slash == std::string_view::npos ? *v : v->substr(slash + 1))});
    }
  }
  return frames;
}

}  // namespace pelmoa
