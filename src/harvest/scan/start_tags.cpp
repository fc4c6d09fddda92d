#include "harvest/scan/start_tags.h"

#include <array>
#include <cstring>

namespace pelmoa {
namespace {

using namespace std::string_view_literals;

// What ends a run inside a tag, by byte: bit 1 whitespace (CR too, as the input stream turns
// it into LF first), bit 2 '/' and '>', which end a name, bit 4 '=', which ends an
// attribute's name, bit 8 '>' alone, which ends an unquoted value with whitespace.
constexpr unsigned char kSpace = 1, kNameEnd = 2, kEquals = 4, kGreater = 8;
constexpr auto kTagBytes = [] {
  std::array<unsigned char, 256> t{};
  for (const char c : {' ', '\n', '\t', '\f', '\r'}) t[static_cast<unsigned char>(c)] = kSpace;
  t['/'] = kNameEnd;
  t['>'] = kNameEnd | kGreater;
  t['='] = kEquals;
  return t;
}();

unsigned char ByteClass(char c) { return kTagBytes[static_cast<unsigned char>(c)]; }
bool IsTagSpace(char c) { return ByteClass(c) & kSpace; }

bool IsAsciiAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t k = 0; k < a.size(); ++k) {
    if (LowerAscii(a[k]) != LowerAscii(b[k])) return false;
  }
  return true;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

// Up to this many attributes a tag's names are compared in place; past it they go in a set,
// so a tag of a million attributes costs a million look-ups, not half a trillion compares.
constexpr std::size_t kFewAttributes = 16;

}  // namespace

StartTagReader::Text StartTagReader::TextAfter(std::string_view name) {
  switch (name.size()) {
    case 3:
      if (NameIs(name, "xmp"sv)) return Text::kRaw;
      break;
    case 5:
      if (NameIs(name, "style"sv) || NameIs(name, "title"sv)) return Text::kRaw;
      break;
    case 6:
      if (NameIs(name, "script"sv)) return Text::kScript;
      if (NameIs(name, "iframe"sv)) return Text::kRaw;
      break;
    case 7:
      if (NameIs(name, "noembed"sv)) return Text::kRaw;
      break;
    case 8:
      if (NameIs(name, "noframes"sv) || NameIs(name, "textarea"sv)) return Text::kRaw;
      break;
    case 9:
      if (NameIs(name, "plaintext"sv)) return Text::kPlaintext;
      break;
    default:
      break;
  }
  return Text::kMarkup;
}

const StartTag* StartTagReader::Next() {
  if (text_ == Text::kRaw) SkipRawText();
  if (text_ == Text::kScript) SkipScript();
  if (text_ == Text::kPlaintext) pos_ = page_.size();
  text_ = Text::kMarkup;
  const std::size_t n = page_.size();
  while (pos_ < n) {
    const void* lt = std::memchr(page_.data() + pos_, '<', n - pos_);
    if (!lt) break;
    const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(lt) - page_.data());
    pos_ = at + 1;
    if (pos_ >= n) break;
    const char c = page_[pos_];
    if (IsAsciiAlpha(c)) {
      if (!ReadTag(true)) break;
      tag_.offset = at;
      text_ = TextAfter(tag_.name);
      if (text_ != Text::kMarkup) raw_name_ = Lower(tag_.name);
      return &tag_;
    }
    if (c == '/') {
      ++pos_;
      if (pos_ >= n) break;
      if (IsAsciiAlpha(page_[pos_])) {
        if (!ReadTag(false)) break;
      } else if (page_[pos_] == '>') {
        ++pos_;
      } else {
        SkipTo('>');
      }
    } else if (c == '!') {
      ++pos_;
      if (page_.substr(pos_, 2) == "--") {
        pos_ += 2;
        SkipComment();
      } else {
        // A doctype ends at its first '>', quoted or not, and so does every other "<!".
        SkipTo('>');
      }
    } else if (c == '?') {
      SkipTo('>');
    }
    // After '<', anything else is text.
  }
  pos_ = n;
  return nullptr;
}

bool StartTagReader::ReadTag(bool keep) {
  const std::size_t n = page_.size();
  std::size_t k = pos_;
  while (k < n && !(ByteClass(page_[k]) & (kSpace | kNameEnd))) ++k;
  if (keep) {
    tag_.name = page_.substr(pos_, k - pos_);
    tag_.attributes.clear();
    many_names_.clear();
  }
  while (true) {
    while (k < n && IsTagSpace(page_[k])) ++k;
    if (k >= n) break;
    if (page_[k] == '>') {
      pos_ = k + 1;
      return true;
    }
    if (page_[k] == '/') {
      // "/>" ends the tag; a '/' before anything else is passed over.
      if (++k < n && page_[k] == '>') {
        pos_ = k + 1;
        return true;
      }
      continue;
    }
    // An attribute's name may begin with '='; then it runs to a space, '/', '>' or '='.
    const std::size_t name_start = k++;
    while (k < n && !(ByteClass(page_[k]) & (kSpace | kNameEnd | kEquals))) ++k;
    const std::string_view name = page_.substr(name_start, k - name_start);
    std::string_view value;
    std::size_t j = k;
    while (j < n && IsTagSpace(page_[j])) ++j;
    if (j < n && page_[j] == '=') {
      ++j;
      while (j < n && IsTagSpace(page_[j])) ++j;
      if (j >= n) break;
      const char quote = page_[j];
      if (quote == '"' || quote == '\'') {
        const void* end = std::memchr(page_.data() + j + 1, quote, n - j - 1);
        if (!end) break;
        const auto e = static_cast<std::size_t>(static_cast<const char*>(end) - page_.data());
        value = page_.substr(j + 1, e - j - 1);
        k = e + 1;
      } else {
        // Unquoted: to a space or '>'; "a=>" gives an empty value and ends the tag.
        std::size_t e = j;
        while (e < n && !(ByteClass(page_[e]) & (kSpace | kGreater))) ++e;
        value = page_.substr(j, e - j);
        k = e;
      }
    } else {
      k = j;
    }
    if (keep) AddAttribute(name, value);
  }
  pos_ = n;
  return false;
}

void StartTagReader::AddAttribute(std::string_view name, std::string_view value) {
  std::vector<TagAttribute>& attributes = tag_.attributes;
  if (attributes.size() < kFewAttributes) {
    for (const TagAttribute& a : attributes) {
      if (SameName(a.name, name)) return;
    }
    attributes.push_back({name, value});
    if (attributes.size() == kFewAttributes) {
      for (const TagAttribute& a : attributes) many_names_.insert(a.name);
    }
    return;
  }
  if (many_names_.insert(name).second) attributes.push_back({name, value});
}

std::size_t StartTagReader::FoldedHash::operator()(std::string_view name) const {
  std::size_t h = 14695981039346656037ull;  // FNV-1a over the lower-case bytes
  for (const char c : name) h = (h ^ static_cast<unsigned char>(LowerAscii(c))) * 1099511628211ull;
  return h;
}

bool StartTagReader::FoldedEqual::operator()(std::string_view a, std::string_view b) const {
  return SameName(a, b);
}

void StartTagReader::SkipTo(char c) {
  const void* at = std::memchr(page_.data() + pos_, c, page_.size() - pos_);
  pos_ =
      at ? static_cast<std::size_t>(static_cast<const char*>(at) - page_.data()) + 1 : page_.size();
}

void StartTagReader::SkipComment() {
  const std::size_t n = page_.size();
  std::size_t k = pos_;
  // "<!-->" and "<!--->" are whole comments.
  if (k < n && page_[k] == '>') {
    pos_ = k + 1;
    return;
  }
  if (k + 1 < n && page_[k] == '-' && page_[k + 1] == '>') {
    pos_ = k + 2;
    return;
  }
  // Only dashes move the comment towards its end: "-->", "--!>", and "--!->" too.
  enum { kText, kDash, kDashDash, kBang } state = kText;
  while (k < n) {
    if (state == kText) {
      const void* dash = std::memchr(page_.data() + k, '-', n - k);
      if (!dash) break;
      k = static_cast<std::size_t>(static_cast<const char*>(dash) - page_.data()) + 1;
      state = kDash;
      continue;
    }
    const char c = page_[k++];
    if (state == kDash) {
      state = c == '-' ? kDashDash : kText;
    } else if (state == kDashDash) {
      if (c == '>') {
        pos_ = k;
        return;
      }
      if (c == '!')
        state = kBang;
      else if (c != '-')
        state = kText;
    } else {
      if (c == '>') {
        pos_ = k;
        return;
      }
      state = c == '-' ? kDash : kText;
    }
  }
  pos_ = n;
}

bool StartTagReader::ClosesRawText(std::size_t at) const {
  const std::size_t name_at = at + 2;
  const std::size_t end = name_at + raw_name_.size();
  if (end >= page_.size() || page_[at + 1] != '/') return false;
  if (!SameName(page_.substr(name_at, raw_name_.size()), raw_name_)) return false;
  const char c = page_[end];
  return IsTagSpace(c) || c == '/' || c == '>';
}

void StartTagReader::SkipRawText() {
  const std::size_t n = page_.size();
  while (pos_ < n) {
    const void* lt = std::memchr(page_.data() + pos_, '<', n - pos_);
    if (!lt) break;
    const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(lt) - page_.data());
    if (ClosesRawText(at)) {
      pos_ = at + 2;
      ReadTag(false);  // its attributes, quotes and all, up to its '>'
      return;
    }
    pos_ = at + 1;
  }
  pos_ = n;
}

void StartTagReader::SkipScript() {
  // Script text: "<!--" escapes it, and inside that "<script" escapes it once more, so that
  // a "</script>" written inside a script inside a comment does not end it.
  enum { kData, kEscaped, kEscapedDash, kEscapedDashDash, kDouble, kDoubleDash, kDoubleDashDash };
  const std::size_t n = page_.size();
  // "script" followed by a space, '/' or '>' at k.
  const auto script_name_at = [&](std::size_t k) {
    return k + 6 < n && SameName(page_.substr(k, 6), "script") &&
           (IsTagSpace(page_[k + 6]) || page_[k + 6] == '/' || page_[k + 6] == '>');
  };
  int state = kData;
  std::size_t k = pos_;
  while (k < n) {
    if (state == kData) {
      const void* lt = std::memchr(page_.data() + k, '<', n - k);
      if (!lt) break;
      k = static_cast<std::size_t>(static_cast<const char*>(lt) - page_.data());
      if (ClosesRawText(k)) {
        pos_ = k + 2;
        ReadTag(false);
        return;
      }
      if (page_.substr(k, 4) == "<!--") {
        state = kEscapedDashDash;
        k += 4;
      } else {
        ++k;
      }
      continue;
    }
    const bool doubled = state >= kDouble;
    const char c = page_[k];
    if (c == '<') {
      if (!doubled && ClosesRawText(k)) {
        pos_ = k + 2;
        ReadTag(false);
        return;
      }
      if (!doubled && script_name_at(k + 1)) {
        state = kDouble;
        k += 8;
      } else if (doubled && k + 1 < n && page_[k + 1] == '/' && script_name_at(k + 2)) {
        state = kEscaped;
        k += 9;
      } else {
        state = doubled ? kDouble : kEscaped;
        ++k;
      }
      continue;
    }
    ++k;
    if (c == '-') {
      if (state == kEscaped || state == kDouble)
        ++state;
      else if (state == kEscapedDash || state == kDoubleDash)
        ++state;
    } else if (c == '>' && (state == kEscapedDashDash || state == kDoubleDashDash)) {
      state = kData;
    } else {
      state = doubled ? kDouble : kEscaped;
    }
  }
  pos_ = n;
}

}  // namespace pelmoa
