#pragma once

// The network settings of a transfer's requests: the proxy of each host, as the system's
// settings name it, and the certificate checks with the authorities the user added.

#include <curl/curl.h>

#include <set>
#include <string>

#include "harvest/system_network.h"

namespace pelmoa {

class RequestNetwork {
 public:
  explicit RequestNetwork(std::string extra_ca_file) : ca_file_(std::move(extra_ca_file)) {}

  // A run starts: the system's settings are read again.
  void BeginRun() { proxy_.Forget(); }
  // Sets the proxy and the certificate checks of a request to url, whose origin is given.
  void Prepare(CURL* easy, const std::string& url, const std::string& origin);
  // Where the added authorities would replace the system's store, only a request the
  // system's store refused gets them: true once per origin, with them set on easy, when the
  // request is to be asked once more.
  bool RetryWithCaFile(CURL* easy, const std::string& origin, CURLcode code);

 private:
  SystemProxy proxy_;
  std::string ca_file_;
  std::set<std::string> ca_file_origins_;  // asked with the added authorities
};

}  // namespace pelmoa
