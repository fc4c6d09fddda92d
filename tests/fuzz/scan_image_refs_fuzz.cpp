// The page text is a stranger's: the scans must not crash, must agree with a plain search,
// and every reference they return must be a piece of the page that passes the image test.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_oracle.h"
#include "harvest/scan/page_scanning.h"
#include "harvest/text/text_search.h"

namespace {

using pelmoa::fuzz::Check;
using pelmoa::fuzz::PlainExtract;
using pelmoa::fuzz::PlainFind;

// Small enough that the quadratic plain scan stays fast.
constexpr std::size_t kPlainLimit = 2048;

std::vector<std::string> PlainScan(std::string_view page) {
  std::vector<std::string> refs;
  for (std::size_t i = PlainFind(page, "img", 0); i != pelmoa::fuzz::kNone;
       i = PlainFind(page, "img", i + 1)) {
    const std::size_t s = PlainFind(page, "src", i);
    if (s == pelmoa::fuzz::kNone) continue;
    if (auto v = PlainExtract(page, s); v && pelmoa::IsImageReference(*v)) refs.emplace_back(*v);
  }
  for (std::size_t h = PlainFind(page, "href", 0); h != pelmoa::fuzz::kNone;
       h = PlainFind(page, "href", h + 1)) {
    if (auto v = PlainExtract(page, h); v && pelmoa::IsImageReference(*v)) refs.emplace_back(*v);
  }
  return refs;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view page(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> refs = pelmoa::ScanImageRefs(page).Strings();
  for (const std::string& r : refs) {
    Check(pelmoa::IsImageReference(r), "a reference fails the image test");
    Check(page.find(r) != std::string_view::npos, "a reference is not a piece of the page");
  }
  if (size > kPlainLimit) return 0;

  Check(refs == PlainScan(page), "ScanImageRefs differs from the plain scan");

  // The cutter and the finder remember earlier answers; queries in any order, jumping back
  // and forth by amounts the input itself chooses, must give what a fresh search gives.
  pelmoa::AttrValueCutter cutter(page);
  pelmoa::TextFinder finders[] = {{page, "img"}, {page, "src"}, {page, "\""}, {page, "<frame "}};
  const std::string_view needles[] = {"img", "src", "\"", "<frame "};
  std::size_t p = 0;
  for (std::size_t k = 0; k < size && k < 64; ++k) {
    const auto step = static_cast<unsigned char>(data[k]);
    p = (step & 0x80) ? (p > (step & 0x3f) ? p - (step & 0x3f) : 0) : p + (step & 0x3f);
    if (p > size + 2) p = size + 2;
    Check(cutter.ExtractAttrValue(p) == PlainExtract(page, p), "ExtractAttrValue differs");
    Check(pelmoa::ExtractAttrValue(page, p) == PlainExtract(page, p),
          "one-off ExtractAttrValue differs");
    for (int n = 0; n < 4; ++n) {
      Check(finders[n].Find(p) == PlainFind(page, needles[n], p), "TextFinder differs");
    }
  }
  return 0;
}
