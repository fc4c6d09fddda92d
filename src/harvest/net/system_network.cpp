#include "harvest/net/system_network.h"

namespace pelmoa {

// libcurl reads http_proxy, https_proxy, all_proxy and no_proxy itself; there is nothing more.
struct SystemProxy::Impl {};

SystemProxy::SystemProxy() = default;
SystemProxy::~SystemProxy() = default;
ProxyAnswer SystemProxy::Ask(const std::string&) { return {}; }
std::optional<std::string> SystemProxy::For(const std::string&) { return std::nullopt; }
void SystemProxy::SetWakeUp(std::function<void()>) {}
void SystemProxy::Forget() {}
int SystemProxy::automatic_lookups() const { return 0; }

// OpenSSL reads the file besides the system's certificate folder (libcurl's default CA path),
// which stays in use.
void SetCertificateChecks(CURL* easy, const std::string& ca_file) {
  if (!ca_file.empty()) curl_easy_setopt(easy, CURLOPT_CAINFO, ca_file.c_str());
}

bool CaFileReplacesSystemStore() { return false; }

}  // namespace pelmoa
