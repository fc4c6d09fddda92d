// Input: a page address, a newline, a frameset page. Every frame address must be absolute
// as the page wrote it or the page's directory base followed by one piece without '/'.

#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_oracle.h"
#include "harvest/scan/frame_pages.h"
#include "harvest/scan/link_resolution.h"
#include "harvest/text/page_address.h"

using pelmoa::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t nl = input.find('\n');
  const std::string page_url = pelmoa::NormalisePageAddress(input.substr(0, nl));
  const std::string_view page =
      nl == std::string_view::npos ? std::string_view() : input.substr(nl + 1);

  (void)pelmoa::IsFramesetPage(page);
  const std::string base = pelmoa::DirectoryBase(page_url);
  std::size_t frame_tags = 0;
  for (std::size_t f = pelmoa::fuzz::PlainFind(page, "<frame ", 0); f != pelmoa::fuzz::kNone;
       f = pelmoa::fuzz::PlainFind(page, "<frame ", f + 1)) {
    ++frame_tags;
  }
  const auto frames = pelmoa::ScanFrameRefs(page, page_url);
  std::size_t named = 0;
  for (const auto& frame : frames) named += frame.count;
  Check(named <= frame_tags, "more frames than frame tags");
  for (const auto& frame : frames) {
    const std::string& f = frame.address;
    Check(!f.empty(), "an empty frame address");
    const bool absolute = f.rfind("http://", 0) == 0 || f.rfind("https://", 0) == 0;
    if (absolute && page.find(f) != std::string_view::npos) continue;
    Check(f.size() >= base.size() && f.compare(0, base.size(), base) == 0,
          "a relative frame outside the directory base");
    Check(f.find('/', base.size()) == std::string::npos, "a frame piece holds '/'");
    // A nested run would normalise it; that must not throw or crash either.
    (void)pelmoa::DocumentPathOf(pelmoa::NormalisePageAddress(f));
  }
  return 0;
}
