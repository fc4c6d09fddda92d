#pragma once

// What the platform adds to every request: the proxy the user's system settings name, and
// how certificates are checked. One implementation file per platform.

#include <curl/curl.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace pelmoa {

// What the system's settings say of one address's proxy so far.
struct ProxyAnswer {
  // Automatic configuration is still being asked about the host.
  bool pending = false;
  // "" for a direct connection, a proxy such as "http://host:8080", or nothing to leave the
  // choice to libcurl's own variables.
  std::optional<std::string> proxy;
};

// The proxy of each host as the system's settings give it. Linux has no settings of its own
// beyond http_proxy, https_proxy and no_proxy, which libcurl reads itself. Windows: the
// user's Internet settings (a manual proxy with its bypass list, a configuration script,
// automatic detection); a proxy variable still wins there.
//
// Automatic configuration may search the network before it answers, so it is asked on a
// thread of its own, once per host while it answers, and every lookup of a run shares one
// allowance of 2 s: once lookups have been outstanding that long in all, or one found
// nothing, the run asks no more and the hosts still waiting take the manual settings.
class SystemProxy {
 public:
  SystemProxy();
  ~SystemProxy();
  SystemProxy(const SystemProxy&) = delete;
  SystemProxy& operator=(const SystemProxy&) = delete;

  // Never waits: starts a lookup where one is needed and says what is known now.
  ProxyAnswer Ask(const std::string& url);
  // Waits for the answer, at most what is left of the run's allowance.
  std::optional<std::string> For(const std::string& url);
  // Called, from another thread, when a lookup has answered.
  void SetWakeUp(std::function<void()> wake_up);
  // A run starts: the settings are read again and every host is asked again.
  void Forget();
  // How many lookups automatic configuration was asked since Forget.
  int automatic_lookups() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Sets a request's certificate checks: always on, with the authorities of ca_file (when not
// empty) as well.
void SetCertificateChecks(CURL* easy, const std::string& ca_file);
// True where a CA file replaces the system's authorities for a request instead of adding to
// them (Windows): the file is then given only to a request the system's store refused.
bool CaFileReplacesSystemStore();

}  // namespace pelmoa
