// Input: a Content-Type value, a newline, the page's bytes. Whatever the bytes and labels,
// decoding ends and gives valid UTF-8 for the scans to work on.

#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_oracle.h"
#include "harvest/text/page_decoding.h"

using pelmoa::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t nl = input.find('\n');
  const std::string_view content_type = input.substr(0, nl);
  const std::string_view body =
      nl == std::string_view::npos ? std::string_view() : input.substr(nl + 1);

  const std::string text = pelmoa::DecodePage(body, content_type);
  Check(pelmoa::IsValidUtf8(text), "the decoded page is not valid UTF-8");
  // Valid UTF-8 without a byte-order mark or a declared charset is used as it is.
  if (pelmoa::IsValidUtf8(body) && body.substr(0, 2) != "\xFF\xFE" &&
      body.substr(0, 2) != "\xFE\xFF" && body.substr(0, 3) != "\xEF\xBB\xBF" &&
      pelmoa::CharsetFromContentType(content_type).empty() &&
      pelmoa::CharsetFromMeta(body.substr(0, 1024)).empty()) {
    Check(text == body, "plain UTF-8 was changed");
  }
  return 0;
}
