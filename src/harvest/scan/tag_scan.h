#pragma once

// The pass over a page's start tags for the run's option for today's pages: what a browser
// shows from the page's markup, read as the HTML tokenizer reads it (start_tags.h).

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelmoa {

struct TagRefs {
  TagRefs() = default;
  TagRefs(TagRefs&&) = default;
  TagRefs& operator=(TagRefs&&) = default;
  // The views point into the page or into `decoded`, so a copy would point into another's.
  TagRefs(const TagRefs&) = delete;
  TagRefs& operator=(const TagRefs&) = delete;

  // In page order, and in attribute order within one tag; never empty, never data:.
  std::vector<std::string_view> refs;
  // The first <base href> with a value, decoded.
  std::optional<std::string_view> base_href;
  // The values that decoding changed (character references, CSS escapes).
  std::deque<std::string> decoded;
};

// Takes, with character references decoded: the src of every <img> and <input
// type="image"> (of one with a srcset the largest candidate, its src when the srcset yields
// none); <video poster>; the content of <meta> naming og:image, og:image:url,
// og:image:secure_url, twitter:image or twitter:image:src by property or name; the href of
// <link rel="image_src">; every url() of a background or background-image declaration in a
// style attribute; and every other data-* value whose path ends in an image extension
// (data-src, data-original, data-lazy-src and data-srcset belong to the pass before).
// Stops, with what it found, when stop says so (asked every few thousand tags).
TagRefs ScanTagRefs(std::string_view page, const std::function<bool()>& stop = {});

}  // namespace pelmoa
