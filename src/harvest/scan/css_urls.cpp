#include "harvest/scan/css_urls.h"

#include <cstdint>
#include <optional>

#include "harvest/text/charset_tables.h"
#include "harvest/text/text_search.h"

namespace pelmoa {
namespace {

bool IsCssSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

bool IsHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Letters, digits, '-', '_' and anything outside ASCII continue a CSS name.
bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || static_cast<unsigned char>(c) >= 0x80;
}

class CssReader {
 public:
  explicit CssReader(std::string_view css) : css_(css) {}

  std::vector<std::string> BackgroundUrls() {
    std::vector<std::string> found;
    while (k_ < css_.size()) ReadDeclaration(found);
    return found;
  }

 private:
  bool AtEnd() const { return k_ >= css_.size(); }

  // One declaration, up to its ';' outside any bracket: its name before the first ':', and
  // the url()s after it, kept when the name is one of the two.
  void ReadDeclaration(std::vector<std::string>& found) {
    const std::size_t start = k_;
    std::optional<std::size_t> colon;
    std::vector<std::string> urls;
    int depth = 0;
    while (!AtEnd()) {
      const char c = css_[k_];
      if (c == ';' && depth == 0) {
        ++k_;
        break;
      }
      if (c == '/' && k_ + 1 < css_.size() && css_[k_ + 1] == '*') {
        const std::size_t end = css_.find("*/", k_ + 2);
        k_ = end == std::string_view::npos ? css_.size() : end + 2;
      } else if (c == '"' || c == '\'') {
        ++k_;
        ReadString(c);
      } else if (colon && (c == 'u' || c == 'U') && UrlFunctionAt(k_)) {
        k_ += 4;
        if (auto url = ReadUrl(); url && !url->empty()) urls.push_back(std::move(*url));
      } else {
        if (c == '(' || c == '[' || c == '{') ++depth;
        if ((c == ')' || c == ']' || c == '}') && depth > 0) --depth;
        if (c == ':' && depth == 0 && !colon) colon = k_;
        ++k_;
      }
    }
    if (!colon) return;
    std::string_view name = css_.substr(start, *colon - start);
    while (!name.empty() && IsCssSpace(name.front())) name.remove_prefix(1);
    while (!name.empty() && IsCssSpace(name.back())) name.remove_suffix(1);
    if (!EqualsIgnoreCase(name, "background") && !EqualsIgnoreCase(name, "background-image")) {
      return;
    }
    for (std::string& url : urls) found.push_back(std::move(url));
  }

  // "url(" at k, not the end of a longer name.
  bool UrlFunctionAt(std::size_t k) const {
    if (k > 0 && (IsNameChar(css_[k - 1]) || css_[k - 1] == '\\')) return false;
    return StartsWithIgnoreCase(css_.substr(k), "url(");
  }

  // After a '\' that starts a valid escape: a hex number (then one space) or one character.
  void ReadEscape(std::string& out) {
    if (AtEnd()) {
      out += "\xEF\xBF\xBD";
      return;
    }
    if (!IsHex(css_[k_])) {
      out += css_[k_++];
      return;
    }
    std::uint32_t cp = 0;
    for (int digits = 0; digits < 6 && !AtEnd() && IsHex(css_[k_]); ++digits, ++k_) {
      const char c = css_[k_];
      cp = cp * 16 + static_cast<std::uint32_t>(c <= '9' ? c - '0' : LowerAscii(c) - 'a' + 10);
    }
    if (!AtEnd() && IsCssSpace(css_[k_])) {
      k_ += (css_[k_] == '\r' && k_ + 1 < css_.size() && css_[k_ + 1] == '\n') ? 2 : 1;
    }
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    AppendUtf8(out, cp);
  }

  // A string after its opening quote; nothing when a line break ends it first.
  std::optional<std::string> ReadString(char quote) {
    std::string out;
    while (!AtEnd()) {
      const char c = css_[k_++];
      if (c == quote) return out;
      if (c == '\n' || c == '\r' || c == '\f') {
        --k_;
        return std::nullopt;
      }
      if (c == '\\') {
        if (AtEnd()) return out;
        if (css_[k_] == '\n' || css_[k_] == '\r' || css_[k_] == '\f') {
          ++k_;  // an escaped line break continues the string
          continue;
        }
        ReadEscape(out);
        continue;
      }
      out += c;
    }
    return out;
  }

  // Passes over what is left of a malformed url() up to its ')'.
  void SkipBadUrl() {
    while (!AtEnd()) {
      const char c = css_[k_++];
      if (c == ')') return;
      if (c == '\\' && !AtEnd()) ++k_;
    }
  }

  // After "url(": a quoted argument followed by ')', or an unquoted address up to ')'.
  std::optional<std::string> ReadUrl() {
    while (!AtEnd() && IsCssSpace(css_[k_])) ++k_;
    if (!AtEnd() && (css_[k_] == '"' || css_[k_] == '\'')) {
      const char quote = css_[k_++];
      std::optional<std::string> value = ReadString(quote);
      while (!AtEnd() && IsCssSpace(css_[k_])) ++k_;
      if (value && (AtEnd() || css_[k_] == ')')) {
        if (!AtEnd()) ++k_;
        return value;
      }
      SkipBadUrl();
      return std::nullopt;
    }
    std::string out;
    while (!AtEnd()) {
      const char c = css_[k_++];
      if (c == ')') return out;
      if (IsCssSpace(c)) {
        while (!AtEnd() && IsCssSpace(css_[k_])) ++k_;
        if (AtEnd() || css_[k_] == ')') {
          if (!AtEnd()) ++k_;
          return out;
        }
        SkipBadUrl();
        return std::nullopt;
      }
      const auto u = static_cast<unsigned char>(c);
      if (c == '"' || c == '\'' || c == '(' || u <= 0x08 || u == 0x0B || (u >= 0x0E && u <= 0x1F) ||
          u == 0x7F) {
        SkipBadUrl();
        return std::nullopt;
      }
      if (c == '\\') {
        if (!AtEnd() && (css_[k_] == '\n' || css_[k_] == '\r' || css_[k_] == '\f')) {
          SkipBadUrl();
          return std::nullopt;
        }
        ReadEscape(out);
        continue;
      }
      out += c;
    }
    return out;
  }

  std::string_view css_;
  std::size_t k_ = 0;
};

}  // namespace

std::vector<std::string> BackgroundUrls(std::string_view style) {
  // Most style attributes name no picture at all.
  for (std::size_t k = 0; k + 4 <= style.size(); ++k) {
    if (style[k + 3] == '(' && StartsWithIgnoreCase(style.substr(k), "url(")) {
      return CssReader(style).BackgroundUrls();
    }
  }
  return {};
}

}  // namespace pelmoa
