#include "harvest/scan/tag_scan.h"

#include "harvest/scan/char_refs.h"
#include "harvest/scan/css_urls.h"
#include "harvest/scan/image_values.h"
#include "harvest/scan/start_tags.h"

namespace pelmoa {
namespace {

using namespace std::string_view_literals;

bool IsSocialImageName(std::string_view v) {
  for (const std::string_view name : {"og:image"sv, "og:image:url"sv, "og:image:secure_url"sv,
                                      "twitter:image"sv, "twitter:image:src"sv}) {
    if (NameIs(v, name)) return true;
  }
  return false;
}

// rel is a list of tokens separated by spaces.
bool HasRelToken(std::string_view rel, std::string_view token) {
  std::size_t k = 0;
  while (k < rel.size()) {
    while (k < rel.size() && IsHtmlSpace(rel[k])) ++k;
    const std::size_t start = k;
    while (k < rel.size() && !IsHtmlSpace(rel[k])) ++k;
    if (k > start && NameIs(rel.substr(start, k - start), token)) return true;
  }
  return false;
}

// The data-* names the pass for lazy-loaded images takes itself.
bool IsLazyLoadingName(std::string_view name) {
  for (const std::string_view taken :
       {"data-src"sv, "data-original"sv, "data-lazy-src"sv, "data-srcset"sv}) {
    if (NameIs(name, taken)) return true;
  }
  return false;
}

enum class Kind { kOther, kImg, kInput, kVideo, kMeta, kLink, kBase };

Kind KindOf(std::string_view tag) {
  switch (tag.size()) {
    case 3:
      return NameIs(tag, "img"sv) ? Kind::kImg : Kind::kOther;
    case 4:
      if (NameIs(tag, "meta"sv)) return Kind::kMeta;
      if (NameIs(tag, "link"sv)) return Kind::kLink;
      return NameIs(tag, "base"sv) ? Kind::kBase : Kind::kOther;
    case 5:
      if (NameIs(tag, "input"sv)) return Kind::kInput;
      return NameIs(tag, "video"sv) ? Kind::kVideo : Kind::kOther;
    default:
      return Kind::kOther;
  }
}

class TagPass {
 public:
  explicit TagPass(TagRefs& out) : out_(out) {}

  void Take(const StartTag& tag) {
    const Kind kind = KindOf(tag.name);
    // The attribute that gives the tag's own picture: src, srcset, poster, content, href.
    const TagAttribute* own = nullptr;
    std::string_view own_value;
    switch (kind) {
      case Kind::kImg:
      case Kind::kInput:
        if (kind == Kind::kInput &&
            !HasValue(tag, "type"sv, [](std::string_view v) { return NameIs(v, "image"sv); })) {
          break;
        }
        // An image with a srcset is taken once, by its largest candidate, at the srcset.
        if ((own = Find(tag, "srcset"sv))) {
          if (auto candidate = LargestSrcsetCandidate(Decoded(own->value))) {
            own_value = *candidate;
            break;
          }
        }
        if ((own = Find(tag, "src"sv))) own_value = Decoded(own->value);
        break;
      case Kind::kVideo:
        if ((own = Find(tag, "poster"sv))) own_value = Decoded(own->value);
        break;
      case Kind::kMeta:
        if (HasValue(tag, "property"sv, IsSocialImageName) ||
            HasValue(tag, "name"sv, IsSocialImageName)) {
          if ((own = Find(tag, "content"sv))) own_value = Decoded(own->value);
        }
        break;
      case Kind::kLink:
        if (HasValue(tag, "rel"sv,
                     [](std::string_view v) { return HasRelToken(v, "image_src"sv); })) {
          if ((own = Find(tag, "href"sv))) own_value = Decoded(own->value);
        }
        break;
      case Kind::kBase:
        if (const TagAttribute* href = Find(tag, "href"sv);
            href && !href->value.empty() && !out_.base_href) {
          out_.base_href = Decoded(href->value);
        }
        break;
      case Kind::kOther:
        break;
    }
    for (const TagAttribute& a : tag.attributes) {
      const std::string_view n = a.name;
      if (&a == own) {
        Add(own_value);
      } else if (NameIs(n, "style"sv)) {
        for (std::string& url : BackgroundUrls(Decoded(a.value))) {
          out_.decoded.push_back(std::move(url));
          Add(out_.decoded.back());
        }
      } else if (StartsWithIgnoreCase(n, "data-"sv) && !IsLazyLoadingName(n)) {
        const std::string_view v = Decoded(a.value);
        if (IsAddedImageReference(v)) Add(v);
      }
    }
  }

 private:
  static const TagAttribute* Find(const StartTag& tag, std::string_view lower) {
    for (const TagAttribute& a : tag.attributes) {
      if (NameIs(a.name, lower)) return &a;
    }
    return nullptr;
  }

  template <typename Test>
  bool HasValue(const StartTag& tag, std::string_view lower, Test&& test) {
    const TagAttribute* a = Find(tag, lower);
    return a && test(Decoded(a->value));
  }

  // The value as the tokenizer hands it on; kept in the store only when that differs from
  // the page's text. The same raw value asked for twice is decoded once.
  std::string_view Decoded(std::string_view raw) {
    if (!NeedsAttributeDecoding(raw)) return raw;
    if (last_raw_.data() == raw.data() && last_raw_.size() == raw.size()) return last_decoded_;
    out_.decoded.push_back(DecodeAttributeValue(raw));
    last_raw_ = raw;
    last_decoded_ = out_.decoded.back();
    return last_decoded_;
  }

  void Add(std::string_view v) {
    if (v.empty() || IsDataValue(v)) return;
    out_.refs.push_back(v);
  }

  TagRefs& out_;
  std::string_view last_raw_;
  std::string_view last_decoded_;
};

}  // namespace

TagRefs ScanTagRefs(std::string_view page, const std::function<bool()>& stop) {
  TagRefs out;
  TagPass pass(out);
  StartTagReader reader(page);
  std::size_t tags = 0;
  while (const StartTag* tag = reader.Next()) {
    if (++tags % 4096 == 0 && stop && stop()) break;
    pass.Take(*tag);
  }
  return out;
}

}  // namespace pelmoa
