#include "harvest/net/request_network.h"

namespace pelmoa {

bool RequestNetwork::Prepare(CURL* easy, const std::string& url, const std::string& origin) {
  if (std::optional<std::string> via = proxy_.Ask(url).proxy) {
    curl_easy_setopt(easy, CURLOPT_PROXY, via->c_str());
  }
  const bool with_file =
      !ca_file_.empty() && (!CaFileReplacesSystemStore() || ca_file_origins_.count(origin));
  SetCertificateChecks(easy, with_file ? ca_file_ : std::string());
  return with_file;
}

bool RequestNetwork::RetryWithCaFile(CURL* easy, const std::string& origin, CURLcode code,
                                     bool& given) {
  // Decided per request, not per origin: the requests already in flight when the first
  // refusal came were prepared without the file, and each of them is asked again as well.
  if (code != CURLE_PEER_FAILED_VERIFICATION || !CaFileReplacesSystemStore() ||
      ca_file_.empty() || given) {
    return false;
  }
  ca_file_origins_.insert(origin);
  SetCertificateChecks(easy, ca_file_);
  given = true;
  return true;
}

}  // namespace pelmoa
