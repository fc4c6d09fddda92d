#pragma once

#include <string>
#include <string_view>

namespace pelmoa {

struct ResolvedReference {
  bool pass_over = false;
  std::string file_name;
  std::string image_url;
  // The file name has no image extension: the answer's Content-Type gives it one.
  bool extension_from_type = false;
};

// The folder references resolve against: the page address cut at every '/', its last piece
// dropped when it holds '.' or '?', joined again, plus one more '/'. A page address ending
// in '/' therefore gives a base ending in two slashes, as earlier versions did.
std::string DirectoryBase(std::string_view page_url);
// The third piece of the page address after the same cut (host, with any port).
std::string HostOf(std::string_view page_url);

// File name and absolute image address of one raw reference, or the pass-over flag when the
// file name has no '.'. Plain text work: nothing is normalised or checked.
ResolvedReference ResolveImageReference(std::string_view page_url, std::string_view reference);

// The same for a reference only the additions for today's pages found: the fragment is not
// part of the address, an address beginning with "//" takes the page's scheme, and the file
// name is the last path segment without query or fragment (passed over when empty).
ResolvedReference ResolveAddedReference(std::string_view page_url, std::string_view reference);

// The two halves of the resolution, for a run that checks a name before it makes anything of
// a reference that may be as long as the page: the name is a view into the reference, and
// the address is made only for a reference whose image is asked for or reported.
struct ReferenceName {
  bool pass_over = false;
  std::string_view file_name;
  bool extension_from_type = false;
};
ReferenceName NameOfReference(std::string_view reference, bool added);
std::string ImageUrlOfReference(std::string_view page_url, std::string_view reference,
                                bool added);

}  // namespace pelmoa
