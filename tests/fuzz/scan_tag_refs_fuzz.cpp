// The tag pass reads a stranger's page: it must not crash, and every value it gives must be
// a non-empty piece of the page or of its own decoded store, never a data: address.

#include <cstdint>
#include <string_view>

#include "fuzz_oracle.h"
#include "harvest/scan/tag_scan.h"

namespace {

using pelmoa::fuzz::Check;

bool Within(std::string_view part, std::string_view whole) {
  return part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size();
}

bool Owned(std::string_view v, std::string_view page, const pelmoa::TagRefs& found) {
  if (Within(v, page)) return true;
  for (const std::string& d : found.decoded) {
    if (Within(v, d)) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view page(reinterpret_cast<const char*>(data), size);
  const pelmoa::TagRefs found = pelmoa::ScanTagRefs(page);
  for (const std::string_view v : found.refs) {
    Check(!v.empty(), "an empty value was taken");
    Check(Owned(v, page, found), "a value points outside the page and the store");
    Check(v.substr(0, 5) != "data:", "a data: value was taken");
  }
  if (found.base_href) Check(Owned(*found.base_href, page, found), "the base points elsewhere");
  return 0;
}
