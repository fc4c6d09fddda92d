#include "harvest/link_resolution.h"

#include <vector>

#include "harvest/text_search.h"

namespace pelmoa {
namespace {

std::vector<std::string_view> Segments(std::string_view s) {
  std::vector<std::string_view> out;
  std::size_t from = 0;
  while (true) {
    std::size_t slash = s.find('/', from);
    if (slash == std::string_view::npos) {
      out.push_back(s.substr(from));
      return out;
    }
    out.push_back(s.substr(from, slash - from));
    from = slash + 1;
  }
}

std::vector<std::string_view> PageSegments(std::string_view page_url) {
  std::vector<std::string_view> segs = Segments(page_url);
  std::string_view last = segs.back();
  if (last.find('.') != std::string_view::npos || last.find('?') != std::string_view::npos) {
    segs.pop_back();
  }
  return segs;
}

}  // namespace

std::string DirectoryBase(std::string_view page_url) {
  std::string base;
  const auto segs = PageSegments(page_url);
  for (std::size_t k = 0; k < segs.size(); ++k) {
    if (k) base += '/';
    base += segs[k];
  }
  base += '/';
  return base;
}

std::string HostOf(std::string_view page_url) {
  const auto segs = PageSegments(page_url);
  return segs.size() > 2 ? std::string(segs[2]) : std::string();
}

ResolvedReference ResolveImageReference(std::string_view page_url, std::string_view reference) {
  ResolvedReference r;
  const std::size_t slash = reference.rfind('/');
  r.file_name = std::string(slash == std::string_view::npos ? reference
                                                            : reference.substr(slash + 1));
  if (r.file_name.find('.') == std::string::npos) {
    r.pass_over = true;
    return r;
  }
  const std::string_view t = TrimSpaces(reference);
  if (!t.empty() && t.front() == '/') {
    // The page's own scheme: an https page's root-relative images are on its https host.
    // Without a host (a page address that lost it) the address stays unusable and its
    // fetch fails like any other.
    const char* scheme = page_url.starts_with("https://") ? "https://" : "http://";
    r.image_url = scheme + HostOf(page_url) + std::string(t);
  } else if (t.substr(0, 4) == "http") {
    r.image_url = std::string(reference);
  } else {
    r.image_url = DirectoryBase(page_url) + std::string(t);
  }
  return r;
}

}  // namespace pelmoa
