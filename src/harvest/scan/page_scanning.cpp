#include "harvest/scan/page_scanning.h"

namespace pelmoa {

AttrValueCutter::AttrValueCutter(std::string_view text)
    : text_(text),
      dquote_(text, "\""),
      dquote_end_(text, "\""),
      squote_(text, "'"),
      squote_end_(text, "'"),
      equals_(text, "="),
      space_end_(text, " "),
      gt_end_(text, ">") {}

std::optional<std::string_view> AttrValueCutter::ExtractAttrValue(std::size_t p) {
  const std::size_t q2 = dquote_.Find(p);
  std::size_t start = kNotFound;
  std::size_t end = kNotFound;
  // A double quote anywhere later wins over a nearer single quote or '=': the delimiters are
  // chosen by a fixed priority, not by nearness.
  if (q2 != kNotFound) {
    start = q2;
    end = dquote_end_.Find(q2 + 1);
  } else if (std::size_t q1 = squote_.Find(p); q1 != kNotFound) {
    start = q1;
    end = squote_end_.Find(q1 + 1);
  } else if (std::size_t eq = equals_.Find(p); eq != kNotFound) {
    // An unquoted value: skip the spaces right after '=', then it ends at the next space or
    // '>', whichever comes first.
    start = eq;
    while (start + 1 < text_.size() && text_[start + 1] == ' ') ++start;
    end = space_end_.Find(start + 1);
    const std::size_t gt = gt_end_.Find(start + 1);
    // With no '>' at all, a "not found" counts as smaller than any space position.
    if (gt == kNotFound || end == kNotFound || gt < end) end = gt;
  }
  if (start == kNotFound || end == kNotFound) return std::nullopt;
  return text_.substr(start + 1, end - start - 1);
}

std::optional<std::string_view> ExtractAttrValue(std::string_view text, std::size_t p) {
  return AttrValueCutter(text).ExtractAttrValue(p);
}

bool IsImageReference(std::string_view value) {
  std::string_view v = TrimSpaces(value);
  if (v.size() < 3) return false;
  char tail[3];
  for (std::size_t k = 0; k < 3; ++k) {
    const char c = v[v.size() - 3 + k];
    tail[k] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  }
  const std::string_view t(tail, 3);
  return t == "jpg" || t == "gif" || t == "png";
}

ImageRefs ScanImageRefs(std::string_view page, const ScanStop& stop) {
  ImageRefs refs;
  std::string_view last;
  bool last_taken = false;
  ForEachScannedValue(page, stop, [&](std::string_view v) {
    if (!SameCut(v, last)) {
      last = v;
      last_taken = IsImageReference(v);
    }
    if (last_taken) refs.Add(v);
  });
  return refs;
}

}  // namespace pelmoa
