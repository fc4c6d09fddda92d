#include "harvest/system_network.h"

// clang-format off
#include <windows.h>
#include <winhttp.h>
// clang-format on

#include <algorithm>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "harvest/file_names.h"

namespace pelmoa {

namespace {

// Automatic configuration may search the network for a script (DHCP, DNS) before it answers;
// a run waits for it this long at most, and after one failure not again.
constexpr std::chrono::milliseconds kAutomaticWait{2000};

std::wstring Wide(const std::string& s) { return PathFromUtf8(s).native(); }

// Proxy settings are host names and numbers: ASCII.
std::string Narrow(const wchar_t* w) {
  std::string s;
  for (; w && *w; ++w) s += *w < 0x80 ? static_cast<char>(*w) : '?';
  return s;
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

std::vector<std::string> Split(const std::string& list, const char* separators) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  while ((from = list.find_first_not_of(separators, from)) != std::string::npos) {
    const std::size_t end = list.find_first_of(separators, from);
    parts.push_back(list.substr(from, end - from));
    from = end;
  }
  return parts;
}

struct Target {
  std::string scheme, host, port;  // lower case; an IPv6 host in brackets
};

std::optional<Target> ParseTarget(const std::string& url) {
  CURLU* u = curl_url();
  Target t;
  auto get = [u](CURLUPart part, unsigned flags, std::string& out) {
    char* s = nullptr;
    if (curl_url_get(u, part, &s, flags) != CURLUE_OK) return false;
    out = Lower(s);
    curl_free(s);
    return true;
  };
  const bool ok = curl_url_set(u, CURLUPART_URL, url.c_str(), CURLU_DEFAULT_SCHEME) == CURLUE_OK &&
                  get(CURLUPART_SCHEME, 0, t.scheme) && get(CURLUPART_HOST, 0, t.host) &&
                  get(CURLUPART_PORT, CURLU_DEFAULT_PORT, t.port);
  curl_url_cleanup(u);
  return ok ? std::optional<Target>(t) : std::nullopt;
}

// libcurl reads these itself (Windows finds them in any case); an empty one counts as unset,
// as libcurl has it.
bool ProxyVariableFor(const std::string& scheme) {
  auto set = [](const std::wstring& name) {
    wchar_t c = 0;
    return GetEnvironmentVariableW(name.c_str(), &c, 1) > 0;
  };
  return set(Wide(scheme) + L"_proxy") || set(L"all_proxy");
}

// '*' stands for any run of characters.
bool Matches(const char* pattern, const char* text) {
  if (*pattern == '\0') return *text == '\0';
  if (*pattern == '*') return Matches(pattern + 1, text) || (*text && Matches(pattern, text + 1));
  return *text == *pattern && Matches(pattern + 1, text + 1);
}

bool IsLoopback(const std::string& host) {
  return host == "localhost" || host == "[::1]" ||
         (host.rfind("127.", 0) == 0 && host.find_first_not_of("0123456789.") == std::string::npos);
}

// A bypass list: host patterns with '*', "<local>" for a name without a dot. Like the
// system's own clients, a loopback address never goes through the manual proxy unless the
// list holds "<-loopback>"; a script decides for itself.
bool Bypassed(const Target& t, const std::string& list, bool loopback) {
  for (std::string entry : Split(Lower(list), "; \t\r\n,")) {
    if (entry == "<local>") {
      if (t.host.find_first_of(".:") == std::string::npos) return true;
      continue;
    }
    if (entry == "<-loopback>") {
      loopback = false;
      continue;
    }
    if (const std::size_t scheme = entry.find("://"); scheme != std::string::npos) {
      if (entry.substr(0, scheme) != t.scheme) continue;
      entry.erase(0, scheme + 3);
    }
    if (Matches(entry.c_str(), t.host.c_str()) ||
        Matches(entry.c_str(), (t.host + ":" + t.port).c_str())) {
      return true;
    }
  }
  return loopback && IsLoopback(t.host);
}

std::string WithScheme(const std::string& proxy, const char* scheme) {
  return proxy.find("://") == std::string::npos ? scheme + proxy : proxy;
}

// A proxy list as the settings and the configuration scripts give it: "host:port" for every
// scheme, or "http=host:port;https=host:port;socks=host:port"; the first that serves scheme.
std::string ProxyForScheme(const std::string& list, const std::string& scheme) {
  std::string any, socks;
  for (const std::string& entry : Split(list, "; \t\r\n")) {
    const std::size_t eq = entry.find('=');
    if (eq == std::string::npos) {
      if (any.empty()) any = entry;
      continue;
    }
    const std::string name = Lower(entry.substr(0, eq));
    const std::string value = entry.substr(eq + 1);
    if (value.empty()) continue;
    if (name == scheme) return WithScheme(value, "http://");
    if (name == "socks" && socks.empty()) socks = value;
  }
  if (!any.empty()) return WithScheme(any, "http://");
  return socks.empty() ? std::string() : WithScheme(socks, "socks4://");
}

struct Settings {
  bool detect = false;
  std::wstring script;
  std::string proxy;
  std::string bypass;
};

Settings ReadSettings() {
  Settings s;
  WINHTTP_CURRENT_USER_IE_PROXY_CONFIG c = {};
  if (!WinHttpGetIEProxyConfigForCurrentUser(&c)) return s;
  s.detect = c.fAutoDetect;
  if (c.lpszAutoConfigUrl) s.script = c.lpszAutoConfigUrl;
  s.proxy = Narrow(c.lpszProxy);
  s.bypass = Narrow(c.lpszProxyBypass);
  for (wchar_t* p : {c.lpszAutoConfigUrl, c.lpszProxy, c.lpszProxyBypass}) {
    if (p) GlobalFree(p);
  }
  return s;
}

// One question to automatic configuration, answered on a thread of its own so the run can
// stop waiting; the thread owns its share and may outlive the question.
struct Lookup {
  std::mutex mutex;
  std::condition_variable answered;
  bool done = false;
  bool found = false;
  std::string proxy;  // the script's proxy list; empty for a direct connection
  std::string bypass;
};

void Ask(const std::shared_ptr<Lookup>& lookup, const std::wstring& url, const Settings& s) {
  WINHTTP_AUTOPROXY_OPTIONS options = {};
  if (s.detect) {
    options.dwFlags |= WINHTTP_AUTOPROXY_AUTO_DETECT;
    options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
  }
  if (!s.script.empty()) {
    options.dwFlags |= WINHTTP_AUTOPROXY_CONFIG_URL;
    options.lpszAutoConfigUrl = s.script.c_str();
  }
  options.fAutoLogonIfChallenged = TRUE;
  bool found = false;
  std::string proxy, bypass;
  if (HINTERNET session = WinHttpOpen(L"Pelmoa", WINHTTP_ACCESS_TYPE_NO_PROXY,
                                      WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0)) {
    WINHTTP_PROXY_INFO info = {};
    if (WinHttpGetProxyForUrl(session, url.c_str(), &options, &info)) {
      found = true;
      if (info.dwAccessType == WINHTTP_ACCESS_TYPE_NAMED_PROXY) proxy = Narrow(info.lpszProxy);
      bypass = Narrow(info.lpszProxyBypass);
      if (info.lpszProxy) GlobalFree(info.lpszProxy);
      if (info.lpszProxyBypass) GlobalFree(info.lpszProxyBypass);
    }
    WinHttpCloseHandle(session);
  }
  std::lock_guard lock(lookup->mutex);
  lookup->done = true;
  lookup->found = found;
  lookup->proxy = std::move(proxy);
  lookup->bypass = std::move(bypass);
  lookup->answered.notify_all();
}

}  // namespace

struct SystemProxy::Impl {
  std::optional<Settings> settings;  // read once per run
  bool automatic_failed = false;     // found nothing, or did not answer in time
  int lookups = 0;
  std::map<std::string, std::string> by_origin;

  // The script's proxy for url, or nothing when automatic configuration has none.
  std::optional<std::string> Automatic(const std::string& url, const Target& t) {
    ++lookups;
    auto lookup = std::make_shared<Lookup>();
    try {
      std::thread(Ask, lookup, Wide(url), *settings).detach();
    } catch (const std::system_error&) {
      return std::nullopt;
    }
    std::unique_lock lock(lookup->mutex);
    if (!lookup->answered.wait_for(lock, kAutomaticWait, [&] { return lookup->done; }) ||
        !lookup->found) {
      return std::nullopt;
    }
    const std::vector<std::string> proxies = Split(lookup->proxy, "; \t\r\n");
    if (proxies.empty() || Bypassed(t, lookup->bypass, false)) return "";
    return ProxyForScheme(proxies.front(), t.scheme);
  }

  // Automatic configuration first (detection, then the script address), then the manual
  // proxy, as the system's own clients do.
  std::string Decide(const std::string& url, const Target& t) {
    if (!settings) settings = ReadSettings();
    if ((settings->detect || !settings->script.empty()) && !automatic_failed) {
      if (std::optional<std::string> proxy = Automatic(url, t)) return *proxy;
      automatic_failed = true;
    }
    if (settings->proxy.empty() || Bypassed(t, settings->bypass, true)) return "";
    return ProxyForScheme(settings->proxy, t.scheme);
  }
};

SystemProxy::SystemProxy() : impl_(std::make_unique<Impl>()) {}
SystemProxy::~SystemProxy() = default;

std::optional<std::string> SystemProxy::For(const std::string& url) {
  const std::optional<Target> t = ParseTarget(url);
  if (!t || ProxyVariableFor(t->scheme)) return std::nullopt;
  const std::string origin = t->scheme + "://" + t->host + ":" + t->port;
  auto it = impl_->by_origin.find(origin);
  if (it == impl_->by_origin.end())
    it = impl_->by_origin.emplace(origin, impl_->Decide(url, *t)).first;
  return it->second;
}

void SystemProxy::Forget() { *impl_ = Impl(); }

int SystemProxy::automatic_lookups() const { return impl_->lookups; }

void SetCertificateChecks(CURL* easy, const std::string& ca_file) {
  // A revocation list that cannot be reached (common behind a proxy) does not refuse the
  // server; a certificate listed as revoked still does.
  curl_easy_setopt(easy, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_REVOKE_BEST_EFFORT));
  if (!ca_file.empty()) curl_easy_setopt(easy, CURLOPT_CAINFO, ca_file.c_str());
}

// Schannel checks a server against the file's authorities alone once a file is given.
bool CaFileReplacesSystemStore() { return true; }

}  // namespace pelmoa
