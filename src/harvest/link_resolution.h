#pragma once

#include <string>
#include <string_view>

namespace pelmoa {

struct ResolvedReference {
  bool pass_over = false;
  std::string file_name;
  std::string image_url;
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

}  // namespace pelmoa
