#include "harvest/scan/modern_scan.h"

#include <algorithm>
#include <utility>

#include "harvest/scan/image_values.h"
#include "harvest/scan/page_scanning.h"
#include "harvest/scan/tag_scan.h"
#include "harvest/text/image_types.h"
#include "harvest/text/text_search.h"

namespace pelmoa {
namespace {

// What may stand in an attribute name: a name matches whole only when neither side touches
// one of these, so data-srcset is not data-src and x-data-src is no data-src at all.
bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == ':' || c == '.';
}

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

}  // namespace

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
