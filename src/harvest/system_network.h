#pragma once

// What the platform adds to every request: the proxy the user's system settings name, and
// how certificates are checked. One implementation file per platform.

#include <curl/curl.h>

#include <memory>
#include <optional>
#include <string>

namespace pelmoa {

// The proxy of each host as the system's settings give it. Linux has no settings of its own
// beyond http_proxy, https_proxy and no_proxy, which libcurl reads itself. Windows: the
// user's Internet settings (a manual proxy with its bypass list, a configuration script,
// automatic detection); a proxy variable still wins there.
class SystemProxy {
 public:
  SystemProxy();
  ~SystemProxy();
  SystemProxy(const SystemProxy&) = delete;
  SystemProxy& operator=(const SystemProxy&) = delete;

  // "" for a direct connection, a proxy such as "http://host:8080", or nothing to leave the
  // choice to libcurl's own variables.
  std::optional<std::string> For(const std::string& url);
  // A run starts: the settings are read again and every host is asked again.
  void Forget();
  // How often automatic configuration was asked since Forget: it may wait, so it is asked
  // once per host while it answers, and not again in the run once it found nothing.
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
