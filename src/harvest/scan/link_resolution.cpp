#include "harvest/scan/link_resolution.h"

#include <vector>

#include "harvest/text/image_types.h"
#include "harvest/text/text_search.h"

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

namespace {

// "https:" for an https page, "http:" for any other.
std::string SchemeOf(std::string_view page_url) {
  return page_url.starts_with("https://") ? "https:" : "http:";
}

// The three forms of a reference: beginning with '/', absolute, relative to the page's folder.
std::string ImageUrlOf(std::string_view page_url, std::string_view reference) {
  const std::string_view t = TrimSpaces(reference);
  if (!t.empty() && t.front() == '/') {
    // The page's own scheme: an https page's root-relative images are on its https host.
    // Without a host (a page address that lost it) the address stays unusable and its
    // fetch fails like any other.
    return SchemeOf(page_url) + "//" + HostOf(page_url) + std::string(t);
  }
  if (t.substr(0, 4) == "http") return std::string(reference);
  return DirectoryBase(page_url) + std::string(t);
}

}  // namespace

ReferenceName NameOfReference(std::string_view reference, bool added) {
  ReferenceName n;
  if (!added) {
    const std::size_t slash = reference.rfind('/');
    n.file_name = slash == std::string_view::npos ? reference : reference.substr(slash + 1);
    n.pass_over = n.file_name.find('.') == std::string_view::npos;
    return n;
  }
  const std::string_view t = TrimSpaces(reference.substr(0, reference.find('#')));
  const std::string_view path = t.substr(0, t.find('?'));
  n.file_name = path.substr(path.rfind('/') + 1);
  n.pass_over = n.file_name.empty();
  n.extension_from_type = !n.pass_over && !HasImageExtension(n.file_name);
  return n;
}

std::string ImageUrlOfReference(std::string_view page_url, std::string_view reference,
                                bool added) {
  if (!added) return ImageUrlOf(page_url, reference);
  const std::string_view t = TrimSpaces(reference.substr(0, reference.find('#')));
  // "//host/path" names another host; the defined rule would append it to the page's own.
  return t.starts_with("//") ? SchemeOf(page_url) + std::string(t) : ImageUrlOf(page_url, t);
}

namespace {

ResolvedReference Resolve(std::string_view page_url, std::string_view reference, bool added) {
  const ReferenceName n = NameOfReference(reference, added);
  ResolvedReference r;
  r.pass_over = n.pass_over;
  r.file_name = std::string(n.file_name);
  if (r.pass_over) return r;
  r.extension_from_type = n.extension_from_type;
  r.image_url = ImageUrlOfReference(page_url, reference, added);
  return r;
}

}  // namespace

ResolvedReference ResolveImageReference(std::string_view page_url, std::string_view reference) {
  return Resolve(page_url, reference, false);
}

ResolvedReference ResolveAddedReference(std::string_view page_url, std::string_view reference) {
  return Resolve(page_url, reference, true);
}

}  // namespace pelmoa
