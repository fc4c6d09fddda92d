#include "harvest/scan/browser_url.h"

#include <array>

#include "harvest/text/text_search.h"

namespace pelmoa {
namespace {

bool IsAsciiAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsSlash(char c) { return c == '/' || c == '\\'; }

// What a plain reference may hold: letters, digits and "-._~!$&()*+,;=@/?%".
constexpr std::array<bool, 256> kPlainChars = [] {
  std::array<bool, 256> plain{};
  for (int c = 0; c < 256; ++c) {
    plain[static_cast<std::size_t>(c)] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                                         (c >= '0' && c <= '9');
  }
  for (const char c : std::string_view("-._~!$&()*+,;=@/?%")) {
    plain[static_cast<unsigned char>(c)] = true;
  }
  return plain;
}();

// Tabs and line breaks go wherever they stand; C0 controls and spaces at either end.
std::string Cleaned(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= 0x20) s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= 0x20) s.remove_suffix(1);
  std::string out;
  out.reserve(s.size());
  for (const char c : s) {
    if (c != '\t' && c != '\n' && c != '\r') out += c;
  }
  return out;
}

// The scheme of an address, in lower case, or "" when it has none (a relative reference).
std::string SchemeOf(std::string_view s) {
  if (s.empty() || !IsAsciiAlpha(s[0])) return {};
  for (std::size_t k = 1; k < s.size(); ++k) {
    const char c = s[k];
    if (c == ':') {
      std::string scheme(s.substr(0, k));
      for (char& d : scheme) d = LowerAscii(d);
      return scheme;
    }
    if (!IsAsciiAlpha(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') break;
  }
  return {};
}

// Percent-encodes what a browser encodes: in the path C0 controls, space, '"', '<', '>',
// '^', '`', '{', '}' and every byte outside ASCII; in the query the same but '\'' for '^',
// '`', '{' and '}'. '\' before the query becomes '/'. Existing %XX escapes stay.
std::string Encoded(std::string_view s) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(s.size());
  bool in_query = false;
  for (const char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (ch == '#') break;  // the fragment is not requested
    if (ch == '?') in_query = true;
    if (ch == '\\' && !in_query) {
      out += '/';
      continue;
    }
    bool encode = c <= 0x20 || c >= 0x7F || ch == '"' || ch == '<' || ch == '>';
    if (in_query) {
      encode = encode || ch == '\'';
    } else {
      encode = encode || ch == '^' || ch == '`' || ch == '{' || ch == '}';
    }
    if (encode) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
  return out;
}

std::optional<std::string> Part(CURLU* u, CURLUPart part, unsigned flags = 0) {
  char* text = nullptr;
  if (curl_url_get(u, part, &text, flags) != CURLUE_OK || !text) return std::nullopt;
  std::string out(text);
  curl_free(text);
  return out;
}

bool IsDotSegment(std::string_view s, bool two) {
  // "%2e" is a dot to a browser.
  std::size_t dots = 0;
  for (std::size_t k = 0; k < s.size();) {
    if (s[k] == '.') {
      ++k;
    } else if (s.substr(k, 3) == "%2e" || s.substr(k, 3) == "%2E") {
      k += 3;
    } else {
      return false;
    }
    if (++dots > 2) return false;
  }
  return dots == (two ? 2u : 1u);
}

// Whether the segment that begins at `at` (up to '/', '?' or the end) is "." or "..", read
// from its beginning only.
bool DotSegmentAt(std::string_view s, std::size_t at) {
  std::size_t dots = 0;
  while (at < s.size() && dots <= 2) {
    if (s[at] == '.') {
      ++at;
    } else if (s.substr(at, 3) == "%2e" || s.substr(at, 3) == "%2E") {
      at += 3;
    } else {
      break;
    }
    ++dots;
  }
  return (dots == 1 || dots == 2) && (at == s.size() || s[at] == '/' || s[at] == '?');
}

// Where the longest stretch of `s` begins that ends at its first '?' (or its end) and holds
// only plain characters but ':', and no "." or ".." segment after a '/'; null when what
// follows that '?' is not plain. A reference of `s` that begins in that stretch is plain when
// its own beginning is.
const char* PlainTail(std::string_view s, const char*& query) {
  const char* begin = s.data();
  const char* end = begin + s.size();
  query = begin + std::min(s.find('?'), s.size());
  for (const char* c = query; c < end; ++c) {
    if (!kPlainChars[static_cast<unsigned char>(*c)] && *c != ':') return nullptr;
  }
  const char* t = query;
  while (t > begin) {
    const char c = t[-1];
    if (!kPlainChars[static_cast<unsigned char>(c)]) break;
    if (c == '/' && DotSegmentAt(std::string_view(t, static_cast<std::size_t>(end - t)), 0)) break;
    --t;
  }
  return t;
}

// Writes a path's "%2e" dot segments as dots, so that libcurl removes them as well.
std::string PlainDotSegments(std::string_view path) {
  std::string out;
  std::size_t k = 0;
  while (true) {
    const std::size_t end = std::min(path.find('/', k), path.size());
    const std::string_view segment = path.substr(k, end - k);
    if (IsDotSegment(segment, false))
      out += '.';
    else if (IsDotSegment(segment, true))
      out += "..";
    else
      out += segment;
    if (end == path.size()) return out;
    out += '/';
    k = end + 1;
  }
}

}  // namespace

BrowserUrlResolver::BrowserUrlResolver(std::string_view page_url,
                                       std::optional<std::string_view> base_href) {
  SetBase(page_url, base_href);
  if (!base_) return;
  // libcurl's own answers for two plain references give what every other is appended to.
  const std::optional<std::string> in_folder = ResolveAgainst(base_, base_scheme_, "x");
  const std::optional<std::string> at_root = ResolveAgainst(base_, base_scheme_, "/x");
  if (in_folder && at_root && in_folder->ends_with("/x") && at_root->ends_with("/x")) {
    folder_ = in_folder->substr(0, in_folder->size() - 1);
    origin_ = at_root->substr(0, at_root->size() - 2);
  }
}

void BrowserUrlResolver::SetBase(std::string_view page_url,
                                 std::optional<std::string_view> base_href) {
  Url page(curl_url());
  const std::string cleaned = Encoded(Cleaned(page_url));
  const std::string scheme = SchemeOf(cleaned);
  if (!page || (scheme != "http" && scheme != "https") ||
      curl_url_set(page.get(), CURLUPART_URL, cleaned.c_str(), 0) != CURLUE_OK) {
    return;
  }
  base_ = std::move(page);
  base_scheme_ = scheme;
  if (!base_href) return;
  const std::string href_scheme = SchemeOf(Cleaned(*base_href));
  if (href_scheme == "data" || href_scheme == "javascript") return;
  if (std::optional<std::string> base = ResolveAgainst(base_, base_scheme_, *base_href)) {
    Url u(curl_url());
    if (u && curl_url_set(u.get(), CURLUPART_URL, base->c_str(), 0) == CURLUE_OK) {
      base_ = std::move(u);
      base_scheme_ = SchemeOf(*base);
    }
  }
}

bool BrowserUrlResolver::IsPlain(std::string_view reference, bool in_page) const {
  if (folder_.empty() || reference.empty() || reference.front() == '?') return false;
  if (reference.size() >= 2 && reference[0] == '/' && reference[1] == '/') return false;
  // Unquoted values after "href=href=…" overlap and share their end: a reference of the page
  // that ends where the last one read ended, inside its plain tail, needs only its beginning
  // read. (A string made for the call may reuse a freed one's place: it is read whole.)
  if (in_page) {
    const char* begin = reference.data();
    const char* end = begin + reference.size();
    if (end != tail_.end || begin < tail_.begin) {
      tail_ = {begin, end, nullptr, nullptr};
      tail_.tail = PlainTail(reference, tail_.query);
    }
    if (tail_.tail && begin >= tail_.tail && begin < tail_.query) {
      return !DotSegmentAt(reference, 0);
    }
  }
  std::size_t segment = 0;
  bool in_query = false;
  for (std::size_t k = 0; k <= reference.size(); ++k) {
    const char c = k < reference.size() ? reference[k] : '/';
    const bool plain = kPlainChars[static_cast<unsigned char>(c)];
    // A ':' before the first '/' could make a scheme.
    if (!plain && !(c == ':' && (in_query || reference.find('/') < k))) return false;
    if (in_query) continue;
    if (c == '/' || c == '?') {
      const std::string_view s = reference.substr(segment, k - segment);
      if (IsDotSegment(s, false) || IsDotSegment(s, true)) return false;
      segment = k + 1;
      in_query = c == '?';
    }
  }
  return true;
}

bool BrowserUrlResolver::GivesAddress(std::string_view reference) const {
  if (!base_) return false;
  return IsPlain(reference, true) || ResolveAgainst(base_, base_scheme_, reference).has_value();
}

std::optional<std::string> BrowserUrlResolver::Resolve(std::string_view reference,
                                                       bool in_page) const {
  if (!base_) return std::nullopt;
  if (IsPlain(reference, in_page)) {
    return (reference.front() == '/' ? origin_ : folder_) + std::string(reference);
  }
  return ResolveAgainst(base_, base_scheme_, reference);
}

std::optional<std::string> BrowserUrlResolver::ResolveAgainst(const Url& base,
                                                              std::string_view base_scheme,
                                                              std::string_view reference) const {
  std::string ref = Cleaned(reference);
  const std::string scheme = SchemeOf(ref);
  if (!scheme.empty()) {
    if (scheme != "http" && scheme != "https") return std::nullopt;
    std::string_view rest = std::string_view(ref).substr(scheme.size() + 1);
    const bool two_slashes = rest.size() >= 2 && IsSlash(rest[0]) && IsSlash(rest[1]);
    if (scheme == base_scheme && !two_slashes) {
      // "http:a.jpg" on an http page is relative to it.
      ref = std::string(rest);
    } else {
      // A host follows however many slashes stand before it.
      while (!rest.empty() && IsSlash(rest.front())) rest.remove_prefix(1);
      ref = scheme + "://" + std::string(rest);
    }
  } else if (ref.size() >= 2 && IsSlash(ref[0]) && IsSlash(ref[1])) {
    std::string_view rest = ref;
    while (!rest.empty() && IsSlash(rest.front())) rest.remove_prefix(1);
    ref = "//" + std::string(rest);
  }
  if (ref.empty() || ref.front() == '#') {
    // The page itself; libcurl would drop the last segment of its path.
    ref = Part(base.get(), CURLUPART_URL).value_or("");
    if (const std::size_t hash = ref.find('#'); hash != std::string::npos) ref.resize(hash);
  }
  // The host stays as written (the transfer puts a name outside ASCII in its ASCII form);
  // the rest is encoded.
  std::size_t path_at = 0;
  if (const std::string s = SchemeOf(ref); !s.empty() || ref.starts_with("//")) {
    const std::size_t host_at = s.empty() ? 2 : s.size() + 3;
    path_at = std::min(ref.find_first_of("/?#\\", host_at), ref.size());
  }
  std::string encoded = Encoded(std::string_view(ref).substr(path_at));
  const std::size_t query = std::min(encoded.find('?'), encoded.size());
  encoded = ref.substr(0, path_at) + PlainDotSegments(std::string_view(encoded).substr(0, query)) +
            encoded.substr(query);

  Url u(curl_url_dup(base.get()));
  if (!u || curl_url_set(u.get(), CURLUPART_URL, encoded.c_str(), 0) != CURLUE_OK) {
    return std::nullopt;
  }
  const std::optional<std::string> result_scheme = Part(u.get(), CURLUPART_SCHEME);
  if (!result_scheme || (*result_scheme != "http" && *result_scheme != "https")) {
    return std::nullopt;
  }
  std::optional<std::string> host = Part(u.get(), CURLUPART_HOST);
  if (!host || host->empty()) return std::nullopt;
  for (char& c : *host) c = LowerAscii(c);
  if (curl_url_set(u.get(), CURLUPART_HOST, host->c_str(), 0) != CURLUE_OK ||
      curl_url_set(u.get(), CURLUPART_FRAGMENT, nullptr, 0) != CURLUE_OK) {
    return std::nullopt;
  }
  std::optional<std::string> url = Part(u.get(), CURLUPART_URL, CURLU_NO_DEFAULT_PORT);
  // An empty query is still a query to a browser ("a.jpg?"); libcurl drops it.
  if (url && encoded.ends_with('?') && !url->ends_with('?')) *url += '?';
  return url;
}

}  // namespace pelmoa
