#include "harvest/text/image_types.h"

#include <array>
#include <utility>

#include "harvest/text/text_search.h"

namespace pelmoa {
namespace {

constexpr std::array<std::string_view, 8> kExtensions = {".jpg",  ".jpeg", ".gif", ".png",
                                                         ".webp", ".avif", ".bmp", ".svg"};

constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kTypes = {{
    {"image/jpeg", ".jpg"},
    {"image/png", ".png"},
    {"image/gif", ".gif"},
    {"image/webp", ".webp"},
    {"image/avif", ".avif"},
    {"image/bmp", ".bmp"},
    {"image/svg+xml", ".svg"},
}};

}  // namespace

bool HasImageExtension(std::string_view name) {
  // The text from the last '.', lower-cased, against the list: the scan asks this of every
  // value the defined test refuses, so it stays one pass over the name's tail.
  // Only the last five bytes can hold a known extension with its dot.
  const std::size_t from = name.size() > 5 ? name.size() - 5 : 0;
  const std::size_t in_tail = name.substr(from).rfind('.');
  if (in_tail == std::string_view::npos) return false;
  const std::size_t dot = from + in_tail;
  char ext[5];
  const std::size_t length = name.size() - dot;
  for (std::size_t k = 0; k < length; ++k) {
    const char c = name[dot + k];
    ext[k] = LowerAscii(c);
  }
  const std::string_view lower(ext, length);
  for (std::string_view known : kExtensions) {
    if (lower == known) return true;
  }
  return false;
}

std::string_view ImageTypeExtension(std::string_view content_type) {
  std::string_view type = content_type.substr(0, content_type.find(';'));
  while (!type.empty() && (type.front() == ' ' || type.front() == '\t')) type.remove_prefix(1);
  while (!type.empty() && (type.back() == ' ' || type.back() == '\t')) type.remove_suffix(1);
  for (const auto& [name, ext] : kTypes) {
    if (EqualsIgnoreCase(type, name)) return ext;
  }
  return {};
}

std::string_view LongestTypeExtension() {
  std::string_view longest;
  for (const auto& [name, ext] : kTypes) {
    if (ext.size() > longest.size()) longest = ext;
  }
  return longest;
}

}  // namespace pelmoa
