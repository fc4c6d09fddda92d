#pragma once

// The network settings of a transfer's requests: the proxy of each host, as the system's
// settings name it, and the certificate checks with the authorities the user added.

#include <curl/curl.h>

#include <functional>
#include <set>
#include <string>

#include "harvest/net/system_network.h"

namespace pelmoa {

class RequestNetwork {
 public:
  explicit RequestNetwork(std::string extra_ca_file) : ca_file_(std::move(extra_ca_file)) {}

  // A run starts: the system's settings are read again.
  void BeginRun() { proxy_.Forget(); }
  // Called, from another thread, when a lookup that held a request back has answered.
  void SetWakeUp(std::function<void()> wake_up) { proxy_.SetWakeUp(std::move(wake_up)); }
  // True once the proxy of url's host is known. Never waits: while the system's automatic
  // configuration is being asked about the host, on a thread of its own, it is false.
  bool Ready(const std::string& url) { return !proxy_.Ask(url).pending; }
  // Sets the proxy and the certificate checks of a request to url, whose origin is given.
  // True when the request was given the added authorities.
  bool Prepare(CURL* easy, const std::string& url, const std::string& origin);
  // Where the added authorities would replace the system's store, a request gets them only
  // once its origin refused the system's: a request the system's store refused and that was
  // not itself given them is asked once more with them, set on easy (and `given` set).
  bool RetryWithCaFile(CURL* easy, const std::string& origin, CURLcode code, bool& given);

 private:
  SystemProxy proxy_;
  std::string ca_file_;
  std::set<std::string> ca_file_origins_;  // refused the system's store this run
};

}  // namespace pelmoa
