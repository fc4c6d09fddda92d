#include "harvest/net/system_network.h"

// clang-format off
#include <windows.h>
#include <winhttp.h>
// clang-format on

#include <algorithm>
#include <cctype>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace pelmoa {

namespace {

using Clock = std::chrono::steady_clock;

// Automatic configuration may search the network for a script (DHCP, DNS) before it answers;
// the lookups of a run may be outstanding this long in all, and after one failure no more
// are made.
constexpr Clock::duration kAutomaticAllowance = std::chrono::milliseconds(2000);

std::wstring Wide(const std::string& s) {
  if (s.empty()) return {};
  const int n = static_cast<int>(s.size());
  std::wstring out(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, s.data(), n, nullptr, 0)),
                   L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), n, out.data(), static_cast<int>(out.size()));
  return out;
}

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

// How the owner is told that a lookup answered. A lookup's thread may outlive its owner, who
// clears it on the way out.
class WakeUp {
 public:
  void Set(std::function<void()> call) {
    std::lock_guard lock(mutex_);
    call_ = std::move(call);
  }
  void Call() {
    std::lock_guard lock(mutex_);
    if (call_) call_();
  }

 private:
  std::mutex mutex_;
  std::function<void()> call_;
};

// One question to automatic configuration, answered on a thread of its own that owns its
// share and may outlive the run that asked.
struct Lookup {
  std::mutex mutex;
  bool done = false;
  bool found = false;
  Clock::time_point answered;
  std::string proxy;  // the script's proxy list; empty for a direct connection
  std::string bypass;
};

void AskAutomatic(const std::shared_ptr<Lookup>& lookup, const std::wstring& url,
                  const Settings& s, const std::shared_ptr<WakeUp>& wake_up) {
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
  {
    std::lock_guard lock(lookup->mutex);
    lookup->done = true;
    lookup->found = found;
    lookup->answered = Clock::now();
    lookup->proxy = std::move(proxy);
    lookup->bypass = std::move(bypass);
  }
  wake_up->Call();
}

}  // namespace

struct SystemProxy::Impl {
  std::optional<Settings> settings;  // read once per run
  // A lookup found nothing, or the lookups used up the run's allowance: no more are made.
  bool automatic_over = false;
  int lookups = 0;
  std::map<std::string, std::string> by_origin;
  struct Pending {
    std::shared_ptr<Lookup> lookup;
    Target target;
  };
  std::map<std::string, Pending> pending;
  // Time with at least one lookup outstanding, this run; counted from `since` while any is.
  Clock::duration waited{};
  Clock::time_point since;
  std::shared_ptr<WakeUp> wake_up = std::make_shared<WakeUp>();

  std::string Manual(const Target& t) const {
    if (settings->proxy.empty() || Bypassed(t, settings->bypass, true)) return "";
    return ProxyForScheme(settings->proxy, t.scheme);
  }

  static std::string FromScript(const Lookup& lookup, const Target& t) {
    const std::vector<std::string> proxies = Split(lookup.proxy, "; \t\r\n");
    if (proxies.empty() || Bypassed(t, lookup.bypass, false)) return "";
    return ProxyForScheme(proxies.front(), t.scheme);
  }

  // Takes in the lookups that answered and counts the time they were outstanding; once the
  // allowance is used up, or one found nothing, the hosts still waiting take the manual
  // settings and automatic configuration is asked no more this run.
  void Collect() {
    if (pending.empty()) return;
    const Clock::time_point now = Clock::now();
    Clock::time_point last_answer = since;
    for (auto it = pending.begin(); it != pending.end();) {
      // Held beyond the erase below, which may drop the last other hold of the lookup while
      // its mutex is locked.
      const std::shared_ptr<Lookup> lookup = it->second.lookup;
      std::lock_guard lock(lookup->mutex);
      if (!lookup->done) {
        ++it;
        continue;
      }
      last_answer = std::max(last_answer, lookup->answered);
      if (lookup->found) {
        by_origin[it->first] = FromScript(*lookup, it->second.target);
      } else {
        automatic_over = true;
        by_origin[it->first] = Manual(it->second.target);
      }
      it = pending.erase(it);
    }
    waited += (pending.empty() ? last_answer : now) - since;
    since = now;
    if (waited >= kAutomaticAllowance) automatic_over = true;
    if (!automatic_over) return;
    for (const auto& [origin, p] : pending) by_origin[origin] = Manual(p.target);
    pending.clear();
  }

  std::string Decided(const std::string& origin, std::string proxy) {
    return by_origin[origin] = std::move(proxy);
  }
};

SystemProxy::SystemProxy() : impl_(std::make_unique<Impl>()) {}
SystemProxy::~SystemProxy() { impl_->wake_up->Set({}); }

ProxyAnswer SystemProxy::Ask(const std::string& url) {
  const std::optional<Target> t = ParseTarget(url);
  if (!t || ProxyVariableFor(t->scheme)) return {};
  Impl& m = *impl_;
  const std::string origin = t->scheme + "://" + t->host + ":" + t->port;
  m.Collect();
  if (auto it = m.by_origin.find(origin); it != m.by_origin.end()) return {false, it->second};
  if (m.pending.count(origin)) return {true, std::nullopt};
  if (!m.settings) m.settings = ReadSettings();
  // Automatic configuration first (detection, then the script address), then the manual
  // proxy, as the system's own clients do.
  if ((!m.settings->detect && m.settings->script.empty()) || m.automatic_over) {
    return {false, m.Decided(origin, m.Manual(*t))};
  }
  auto lookup = std::make_shared<Lookup>();
  try {
    std::thread(AskAutomatic, lookup, Wide(url), *m.settings, m.wake_up).detach();
  } catch (const std::system_error&) {
    m.automatic_over = true;
    return {false, m.Decided(origin, m.Manual(*t))};
  }
  ++m.lookups;
  if (m.pending.empty()) m.since = Clock::now();
  m.pending.emplace(origin, Impl::Pending{std::move(lookup), *t});
  return {true, std::nullopt};
}

std::optional<std::string> SystemProxy::For(const std::string& url) {
  for (ProxyAnswer answer = Ask(url);; answer = Ask(url)) {
    if (!answer.pending) return answer.proxy;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

void SystemProxy::SetWakeUp(std::function<void()> wake_up) {
  impl_->wake_up->Set(std::move(wake_up));
}

void SystemProxy::Forget() {
  std::shared_ptr<WakeUp> wake_up = impl_->wake_up;
  *impl_ = Impl();
  impl_->wake_up = std::move(wake_up);
}

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
