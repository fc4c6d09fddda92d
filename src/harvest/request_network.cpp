#include "harvest/request_network.h"

namespace pelmoa {

void RequestNetwork::Prepare(CURL* easy, const std::string& url, const std::string& origin) {
  if (std::optional<std::string> via = proxy_.For(url)) {
    curl_easy_setopt(easy, CURLOPT_PROXY, via->c_str());
  }
  const bool with_file = !CaFileReplacesSystemStore() || ca_file_origins_.count(origin);
  SetCertificateChecks(easy, with_file ? ca_file_ : std::string());
}

bool RequestNetwork::RetryWithCaFile(CURL* easy, const std::string& origin, CURLcode code) {
  if (code != CURLE_PEER_FAILED_VERIFICATION || !CaFileReplacesSystemStore() ||
      ca_file_.empty() || !ca_file_origins_.insert(origin).second) {
    return false;
  }
  SetCertificateChecks(easy, ca_file_);
  return true;
}

}  // namespace pelmoa
