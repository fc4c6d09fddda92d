#pragma once

// Addresses as a browser resolves them (the WHATWG URL standard) for the run's option for
// today's pages: libcurl's URL interface does the resolution, this adds what a browser does
// before and after it.

#include <curl/curl.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace pelmoa {

class BrowserUrlResolver {
 public:
  // page_url is the run's page address after its normalisation; base_href the value of the
  // page's first <base href>, which every reference then resolves against (itself resolved
  // against the page; one that fails, or a data: or javascript: one, leaves the page's).
  explicit BrowserUrlResolver(std::string_view page_url,
                              std::optional<std::string_view> base_href = std::nullopt);

  // The address a browser requests for the reference, without its fragment: tabs and line
  // breaks removed, spaces and control characters trimmed, '\' read as '/' before the query,
  // "//host" on the base's scheme, "./" and "../" gone (never above the root), the scheme
  // and host in lower case, a default port dropped, spaces and characters outside ASCII
  // percent-encoded as UTF-8. Nothing when it is not an http: or https: address.
  // in_page: the reference is a view into the page that stays in place while the resolver
  // lives (its check can then take what the last one found; see tail_).
  std::optional<std::string> Resolve(std::string_view reference, bool in_page = false) const;
  // Whether Resolve gives an address, without making it where the reference is plain; for a
  // view into the page, as above.
  bool GivesAddress(std::string_view reference) const;

 private:
  struct UrlDeleter {
    void operator()(CURLU* u) const { curl_url_cleanup(u); }
  };
  using Url = std::unique_ptr<CURLU, UrlDeleter>;

  void SetBase(std::string_view page_url, std::optional<std::string_view> base_href);
  std::optional<std::string> ResolveAgainst(const Url& base, std::string_view base_scheme,
                                            std::string_view reference) const;

  // Whether the reference's address needs no libcurl: a path of characters that need no
  // encoding, no dot segment, no scheme, host or query alone; it is then the base's folder
  // (or origin, for one that begins with '/') and the reference.
  // in_page: the reference is a view into the page (see tail_).
  bool IsPlain(std::string_view reference, bool in_page) const;

  Url base_;
  std::string base_scheme_;  // "http" or "https"; empty when the page's address fails
  // What a plain reference is appended to: the base's folder, and its origin for one that
  // begins with '/'; empty when the base has none.
  std::string folder_;
  std::string origin_;
  // The last reference IsPlain read whole, where its plain stretch (PlainTail) begins and its
  // first '?'.
  struct Tail {
    const char* begin = nullptr;
    const char* end = nullptr;
    const char* tail = nullptr;
    const char* query = nullptr;
  };
  mutable Tail tail_;
};

}  // namespace pelmoa
