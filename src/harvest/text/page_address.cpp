#include "harvest/text/page_address.h"

#include "harvest/text/text_search.h"

namespace pelmoa {

std::string NormalisePageAddress(std::string_view typed) {
  std::string_view t = TrimSpaces(typed);
  if (t.substr(0, 7) == "http://" || t.substr(0, 8) == "https://") return std::string(t);
  return "http://" + std::string(t);
}

std::string CompletePageAddress(std::string address, std::string_view document_path) {
  if (address.find('?') != std::string::npos) return address;
  const bool directory_without_slash =
      !document_path.empty() && document_path.back() != '/' &&
      document_path.find('.') == std::string_view::npos;
  if (document_path.empty() || directory_without_slash) address += '/';
  return address;
}

std::string DocumentPathOf(std::string_view url) {
  std::size_t scheme = url.find("://");
  std::size_t host_start = scheme == std::string_view::npos ? 0 : scheme + 3;
  std::size_t path_start = url.find_first_of("/?#", host_start);
  if (path_start == std::string_view::npos || url[path_start] != '/') return {};
  std::size_t path_end = url.find_first_of("?#", path_start);
  return std::string(url.substr(path_start, path_end == std::string_view::npos
                                                ? std::string_view::npos
                                                : path_end - path_start));
}

}  // namespace pelmoa
