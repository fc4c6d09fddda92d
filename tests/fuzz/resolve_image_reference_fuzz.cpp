// Input: a page address, a newline, a raw reference. Resolution is plain text work, but what
// it gives decides where a file lands and what goes on the wire.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "fuzz_oracle.h"
#include "harvest/files/file_names.h"
#include "harvest/scan/link_resolution.h"
#include "harvest/scan/url_encoding.h"
#include "harvest/text/page_address.h"

using pelmoa::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t nl = input.find('\n');
  const std::string_view typed = input.substr(0, nl);
  const std::string_view reference =
      nl == std::string_view::npos ? std::string_view() : input.substr(nl + 1);

  // The page address goes through both halves of its normalisation first, as in a run.
  std::string page_url = pelmoa::NormalisePageAddress(typed);
  page_url = pelmoa::CompletePageAddress(page_url, pelmoa::DocumentPathOf(page_url));
  const std::string base = pelmoa::DirectoryBase(page_url);
  Check(!base.empty() && base.back() == '/', "the directory base does not end in '/'");
  Check(pelmoa::HostOf(page_url).find('/') == std::string::npos, "the host holds '/'");

  const pelmoa::ResolvedReference r = pelmoa::ResolveImageReference(page_url, reference);
  Check(r.file_name.find('/') == std::string::npos, "the file name holds '/'");
  Check(reference.size() >= r.file_name.size() &&
            reference.substr(reference.size() - r.file_name.size()) == r.file_name,
        "the file name is not the end of the reference");
  if (r.pass_over) {
    Check(r.file_name.find('.') == std::string::npos, "a name with '.' was passed over");
    return 0;
  }
  Check(!r.image_url.empty(), "an image without an address");

  // A name the store accepts lands directly inside the folder, whatever the page wrote.
  if (pelmoa::IsSafeFileName(r.file_name)) {
    const std::filesystem::path folder("/dest/folder");
    const std::filesystem::path target = folder / r.file_name;
    Check(target.parent_path() == folder, "a safe name leaves the folder");
    Check(target.filename() == std::filesystem::path(r.file_name), "a safe name is not a name");
    Check(r.file_name != "." && r.file_name != "..", "a dot name passed as safe");
  }

  // What goes on the wire holds no space, control or non-ASCII byte.
  for (char c : pelmoa::EncodeRequestUrl(r.image_url)) {
    const auto u = static_cast<unsigned char>(c);
    Check(u > 0x20 && u < 0x7f, "an encoded address holds a raw byte");
  }
  return 0;
}
