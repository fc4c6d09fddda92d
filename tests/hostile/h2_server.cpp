#include "h2_server.h"

#include <chrono>
#include <fstream>
#include <random>
#include <thread>

#include "test_certificates.h"

namespace pelmoa::testing {

H2Server::H2Server(int step_ms, bool http1) {
  if (std::string(PELMOA_NODE).empty()) {
    failure_ = "Node is not installed (the HTTP/2 test server runs on it)";
    return;
  }
  folder_ = std::filesystem::temp_directory_path() /
            ("pelmoa-h2-" + std::to_string(std::random_device{}()) + "-" +
             std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  std::filesystem::create_directories(folder_);
  const TestCertificates& certs = TestCertificates::Get();
  const std::filesystem::path port_file = folder_ / "port";
  const std::vector<std::string> args = {PELMOA_NODE,
                                         PELMOA_H2_SERVER_JS,
                                         NodePath(certs.cert_file(ServerCert::kTrusted)),
                                         NodePath(certs.key_file()),
                                         NodePath(port_file),
                                         std::to_string(step_ms),
                                         http1 ? "http1" : "h2"};
  for (const auto& a : args) {
    if (a.empty()) {
      failure_ = "Node cannot reach the test's files";
      return;
    }
  }
  if (!Spawn(args)) {
    failure_ = "cannot start Node";
    return;
  }
  // Starting Node takes a moment, longer on a loaded machine.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline) {
    std::ifstream in(port_file);
    if (in >> port_) return;
    if (Ended()) {
      failure_ = "the HTTP/2 test server ended at its start";
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  failure_ = "the HTTP/2 test server did not start within a minute";
}

H2Server::~H2Server() {
  Stop();
  std::error_code ec;
  if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
}

std::string H2Server::Url(const std::string& path) const {
  return "https://127.0.0.1:" + std::to_string(port_) + path;
}

int H2Server::Stat(int which) const {
  std::ifstream in(folder_ / "port.stats");
  int values[2] = {-1, -1};
  in >> values[0] >> values[1];
  return values[which];
}

}  // namespace pelmoa::testing
