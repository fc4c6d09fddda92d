#pragma once

#include <httplib.h>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#ifdef CPPHTTPLIB_OPENSSL_SUPPORT
#include "test_certificates.h"
#endif

namespace pelmoa::testing {

// A real HTTP server on 127.0.0.1 with a free port, running on its own thread for the
// lifetime of the object. Routes are added before or while it runs.
class TestServer {
 public:
  TestServer();
#ifdef CPPHTTPLIB_OPENSSL_SUPPORT
  // The same over TLS, with the given certificate of the tests' own authority.
  explicit TestServer(ServerCert cert);
#endif
  ~TestServer();
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;

  int port() const { return port_; }
  // "http://127.0.0.1:PORT" (https for TLS) followed by path.
  std::string Url(const std::string& path = "/") const;

  // Serves body with the given content type (and status) at exactly this path.
  void Serve(const std::string& path, std::string body,
             std::string content_type = "text/html", int status = 200);
  // Answers with a redirect to location.
  void Redirect(const std::string& path, const std::string& location, int status = 302);
  // Anything more particular.
  void Handle(const std::string& path,
              std::function<void(const httplib::Request&, httplib::Response&)> handler);

  // Paths matching an ECMAScript regex (whole path); groups are the submatches.
  using RegexHandler =
      std::function<void(const std::vector<std::string>& groups, httplib::Response&)>;
  void HandleRegex(const std::string& pattern, RegexHandler handler);

  // Every request path seen, in order of arrival, and its Referer header.
  std::vector<std::string> Requests() const;
  std::vector<std::string> Referers() const;
  int RequestCount(const std::string& path) const;

  httplib::Server& raw() { return *server_; }

 private:
  void Start();
  void Dispatch(const httplib::Request& req, httplib::Response& res);

  std::unique_ptr<httplib::Server> server_;
  std::string scheme_ = "http";
  std::thread thread_;
  int port_ = 0;
  mutable std::mutex mutex_;
  std::map<std::string, std::function<void(const httplib::Request&, httplib::Response&)>> routes_;
  std::vector<std::pair<std::regex, RegexHandler>> regex_routes_;
  std::vector<std::string> requests_;
  std::vector<std::string> referers_;
};

// A small valid image of each kind (bytes), for tests that store and view files.
std::string TinyPng();
std::string TinyGif();

}  // namespace pelmoa::testing
