#pragma once

// The start tags of a page and their attributes, read as the HTML standard's tokenizer
// reads them: comments, doctypes and end tags are no start tags, and the text of script,
// style, xmp, iframe, noembed, noframes, textarea and title is no markup, nor anything after
// plaintext. noscript is markup, as a browser without scripts reads it. A tag cut off by the
// end of the page is no tag.

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "harvest/text/text_search.h"

namespace pelmoa {

struct TagAttribute {
  std::string_view name;   // as written; compare with NameIs
  std::string_view value;  // raw, between its quotes or unquoted (DecodeAttributeValue)
};

struct StartTag {
  std::string_view name;   // as written
  std::size_t offset = 0;  // of its '<' in the page
  // In the page's order; of two attributes with one name the first, as the tokenizer keeps.
  std::vector<TagAttribute> attributes;
};

// True when a tag or attribute name, as written, is `lower` (ASCII letters in any case).
inline bool NameIs(std::string_view name, std::string_view lower) {
  return EqualsIgnoreCase(name, lower);
}

class StartTagReader {
 public:
  explicit StartTagReader(std::string_view page) : page_(page) {}
  // The next start tag, valid until the next call; nullptr at the end of the page.
  const StartTag* Next();
  // How far the reader has come (for a caller that checks for cancelling now and then).
  std::size_t Position() const { return pos_; }

 private:
  enum class Text { kMarkup, kRaw, kScript, kPlaintext };

  // What follows a start tag of this name.
  static Text TextAfter(std::string_view name);
  // Reads a tag from its name on; false when the page ends inside it.
  bool ReadTag(bool keep);
  void AddAttribute(std::string_view name, std::string_view value);
  void SkipComment();
  void SkipTo(char c);
  void SkipRawText();
  void SkipScript();
  // At "</" + name: true when the end tag that closes the raw text begins there.
  bool ClosesRawText(std::size_t at) const;

  std::string_view page_;
  std::size_t pos_ = 0;
  Text text_ = Text::kMarkup;
  std::string raw_name_;  // the element whose raw text the reader is in
  StartTag tag_;
  // Names compared without ASCII case, for a tag with many attributes.
  struct FoldedHash {
    std::size_t operator()(std::string_view name) const;
  };
  struct FoldedEqual {
    bool operator()(std::string_view a, std::string_view b) const;
  };
  std::unordered_set<std::string_view, FoldedHash, FoldedEqual> many_names_;
};

}  // namespace pelmoa
