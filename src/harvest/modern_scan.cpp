#include "harvest/modern_scan.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "harvest/image_types.h"
#include "harvest/page_scanning.h"
#include "harvest/tag_scan.h"
#include "harvest/text_search.h"

namespace pelmoa {
namespace {

bool IsHtmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// What may stand in an attribute name: a name matches whole only when neither side touches
// one of these, so data-srcset is not data-src and x-data-src is no data-src at all.
bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == ':' || c == '.';
}

bool StartsWithIgnoreCase(std::string_view s, std::string_view lower) {
  if (s.size() < lower.size()) return false;
  for (std::size_t k = 0; k < lower.size(); ++k) {
    char c = s[k];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c != lower[k]) return false;
  }
  return true;
}

std::string_view TrimHtmlSpaces(std::string_view v) {
  while (!v.empty() && IsHtmlSpace(v.front())) v.remove_prefix(1);
  while (!v.empty() && IsHtmlSpace(v.back())) v.remove_suffix(1);
  return v;
}

bool IsDataValue(std::string_view v) { return StartsWithIgnoreCase(TrimHtmlSpaces(v), "data:"); }

// The value of an attribute whose name ends at `at`: '=' after optional spaces, then a quoted
// value, or an unquoted one up to a space or '>'. `next` is where the pass goes on: after the
// value, so names written inside a value are not taken.
std::optional<std::string_view> ValueAfterName(std::string_view page, std::size_t at,
                                               std::size_t& next) {
  std::size_t k = at;
  while (k < page.size() && IsHtmlSpace(page[k])) ++k;
  if (k >= page.size() || page[k] != '=') return std::nullopt;
  ++k;
  while (k < page.size() && IsHtmlSpace(page[k])) ++k;
  if (k >= page.size()) return std::nullopt;
  const char quote = page[k];
  if (quote == '"' || quote == '\'') {
    // Only the last quote of its kind in the page can lack its closing one, so the
    // searches that run to the end stay one per kind.
    const std::size_t end = page.find(quote, k + 1);
    if (end == std::string_view::npos) return std::nullopt;
    next = end + 1;
    return page.substr(k + 1, end - k - 1);
  }
  std::size_t end = k;
  while (end < page.size() && !IsHtmlSpace(page[end]) && page[end] != '>') ++end;
  next = end;
  return page.substr(k, end - k);
}

// The attribute names after "data-" that the third pass takes; srcset values give a candidate.
constexpr std::pair<std::string_view, bool> kDataNames[] = {
    {"src", false}, {"original", false}, {"lazy-src", false}, {"srcset", true}};

// Calls take(value, is_srcset) for every value of the third pass, in page order.
template <typename Take>
void ForEachLazyValue(std::string_view page, const ScanStop& stop, Take&& take) {
  TextFinder names(page, "data-", "srcset");
  std::size_t from = 0;
  for (std::size_t hits = 1;; ++hits) {
    if (hits % kHitsPerStopCheck == 0 && stop && stop()) return;
    const std::size_t hit = names.Find(from);
    if (hit == kNotFound) return;
    from = hit + 1;
    if (hit > 0 && IsNameChar(page[hit - 1])) continue;
    std::size_t name_end = kNotFound;
    bool is_srcset = true;
    if (!StartsWithIgnoreCase(page.substr(hit), "data-")) {
      name_end = hit + 6;
    } else {
      for (const auto& [name, gives_candidate] : kDataNames) {
        const std::size_t end = hit + 5 + name.size();
        if (StartsWithIgnoreCase(page.substr(hit + 5), name) &&
            (end >= page.size() || !IsNameChar(page[end]))) {
          name_end = end;
          is_srcset = gives_candidate;
          break;
        }
      }
    }
    if (name_end == kNotFound || (name_end < page.size() && IsNameChar(page[name_end]))) continue;
    std::size_t next = from;
    if (auto v = ValueAfterName(page, name_end, next)) {
      from = next;
      take(*v, is_srcset);
    }
  }
}

// The width (w) or density (x) of one candidate's descriptors; -1 when absent.
void ReadDescriptors(std::string_view descriptors, double& width, double& density) {
  std::size_t k = 0;
  while (k < descriptors.size()) {
    while (k < descriptors.size() && IsHtmlSpace(descriptors[k])) ++k;
    const std::size_t start = k;
    while (k < descriptors.size() && !IsHtmlSpace(descriptors[k])) ++k;
    const std::string_view token = descriptors.substr(start, k - start);
    if (token.size() < 2) continue;
    double value = 0;
    const char* first = token.data();
    const char* last = token.data() + token.size() - 1;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || value < 0) continue;
    if (token.back() == 'w') width = value;
    if (token.back() == 'x') density = value;
  }
}

}  // namespace

bool IsAddedImageReference(std::string_view value) {
  const std::string_view v = TrimHtmlSpaces(value);
  if (StartsWithIgnoreCase(v, "data:")) return false;
  // A loop, not find_first_of, which calls memchr once per character.
  std::size_t path_end = 0;
  while (path_end < v.size() && v[path_end] != '?' && v[path_end] != '#') ++path_end;
  return HasImageExtension(v.substr(0, path_end));
}

std::optional<std::string_view> LargestSrcsetCandidate(std::string_view srcset) {
  std::optional<std::string_view> by_width;
  std::optional<std::string_view> by_density;
  double best_width = -1;
  double best_density = -1;
  std::size_t k = 0;
  const std::size_t n = srcset.size();
  while (true) {
    while (k < n && (IsHtmlSpace(srcset[k]) || srcset[k] == ',')) ++k;
    if (k >= n) break;
    const std::size_t start = k;
    while (k < n && !IsHtmlSpace(srcset[k])) ++k;
    std::string_view url = srcset.substr(start, k - start);
    std::string_view descriptors;
    if (url.back() == ',') {
      while (!url.empty() && url.back() == ',') url.remove_suffix(1);
    } else {
      // Descriptors run to the next comma outside parentheses.
      const std::size_t from = k;
      int depth = 0;
      for (; k < n; ++k) {
        const char c = srcset[k];
        if (c == '(') ++depth;
        if (c == ')' && depth > 0) --depth;
        if (c == ',' && depth == 0) break;
      }
      descriptors = srcset.substr(from, k - from);
    }
    if (url.empty() || IsDataValue(url)) continue;
    double width = -1;
    double density = -1;
    ReadDescriptors(descriptors, width, density);
    if (width >= 0) {
      if (width > best_width) {
        best_width = width;
        by_width = url;
      }
    } else {
      if (density < 0) density = 1;
      if (density > best_density) {
        best_density = density;
        by_density = url;
      }
    }
  }
  return by_width ? by_width : by_density;
}

namespace {

// The added test over values cut from one page, in the order a pass cuts them. Unquoted
// values after "x=x=x=…" overlap and share their end, so the search for the end of each one's
// path goes on from where the last one stopped instead of reading the shared text again
// (a pass cuts at non-decreasing places; the second pass starts over once).
class AddedTest {
 public:
  // Values up to this long are read as they are: on a page of ordinary values the search
  // would be one more pass over the whole page.
  static constexpr std::size_t kShortValue = 256;

  explicit AddedTest(std::string_view page) : page_(page), query_(page, "?", "#") {}

  bool operator()(std::string_view value) {
    const std::string_view v = TrimHtmlSpaces(value);
    if (v.size() <= kShortValue) return IsAddedImageReference(v);
    if (StartsWithIgnoreCase(v, "data:")) return false;
    const std::size_t start = static_cast<std::size_t>(v.data() - page_.data());
    const std::size_t path_end = std::min(query_.Find(start), start + v.size());
    return HasImageExtension(v.substr(0, path_end - start));
  }

 private:
  std::string_view page_;
  TextFinder query_;
};

}  // namespace

ImageRefs ScanModernImageRefs(std::string_view page, const ScanStop& stop) {
  ImageRefs refs;
  AddedTest is_added(page);
  std::string_view last;
  int last_kind = 0;  // 0 not taken, 1 by the defined test, 2 by the added one
  const bool whole = ForEachScannedValue(page, stop, [&](std::string_view v) {
    if (!SameCut(v, last)) {
      last = v;
      last_kind = IsImageReference(v) ? 1 : is_added(v) ? 2 : 0;
    }
    if (last_kind) refs.Add(v, last_kind == 2);
  });
  if (!whole) return refs;
  ForEachLazyValue(page, stop, [&](std::string_view v, bool is_srcset) {
    if (is_srcset) {
      if (auto candidate = LargestSrcsetCandidate(v)) refs.Add(*candidate, true);
      return;
    }
    v = TrimHtmlSpaces(v);
    if (!v.empty() && !IsDataValue(v)) refs.Add(v, true);
  });
  if (stop && stop()) return refs;
  // Last, in page order, what a browser shows from the page's tags.
  TagRefs tags = ScanTagRefs(page, stop);
  for (const std::string_view v : tags.refs) refs.Add(v, true, true);
  refs.base_href = tags.base_href;
  refs.Keep(std::move(tags.decoded));
  return refs;
}

}  // namespace pelmoa
