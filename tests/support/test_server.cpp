#include "test_server.h"

#include <chrono>
#include <stdexcept>

namespace pelmoa::testing {

TestServer::TestServer() : server_(std::make_unique<httplib::Server>()) { Start(); }

#ifdef CPPHTTPLIB_OPENSSL_SUPPORT
TestServer::TestServer(ServerCert cert) : scheme_("https") {
  const TestCertificates& certificates = TestCertificates::Get();
  server_ = std::make_unique<httplib::SSLServer>(certificates.cert(cert), certificates.key());
  Start();
}
#endif

void TestServer::Start() {
  server_->set_keep_alive_max_count(1000);
  server_->set_tcp_nodelay(true);
  auto dispatch = [this](const httplib::Request& req, httplib::Response& res) {
    Dispatch(req, res);
  };
  server_->Get(".*", dispatch);
  server_->Get("/.*", dispatch);
  port_ = server_->bind_to_any_port("127.0.0.1");
  if (port_ <= 0) throw std::runtime_error("cannot bind a test port");
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TestServer::~TestServer() {
  server_->stop();
  if (thread_.joinable()) thread_.join();
}

std::string TestServer::Url(const std::string& path) const {
  return scheme_ + "://127.0.0.1:" + std::to_string(port_) + path;
}

void TestServer::Serve(const std::string& path, std::string body, std::string content_type,
                       int status) {
  Handle(path, [body = std::move(body), content_type = std::move(content_type), status](
                   const httplib::Request&, httplib::Response& res) {
    res.status = status;
    res.set_content(body, content_type.c_str());
  });
}

void TestServer::Redirect(const std::string& path, const std::string& location, int status) {
  Handle(path, [location, status](const httplib::Request&, httplib::Response& res) {
    res.status = status;
    res.set_header("Location", location);
  });
}

void TestServer::Handle(const std::string& path,
                        std::function<void(const httplib::Request&, httplib::Response&)> handler) {
  std::lock_guard lock(mutex_);
  routes_[path] = std::move(handler);
}

void TestServer::Dispatch(const httplib::Request& req, httplib::Response& res) {
  // The raw target keeps escapes and dot segments exactly as the client sent them.
  std::string target = req.target.empty() ? req.path : req.target;
  std::string path = target.substr(0, target.find('?'));
  std::function<void(const httplib::Request&, httplib::Response&)> handler;
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(target);
    referers_.push_back(req.get_header_value("Referer"));
    auto it = routes_.find(target);
    if (it == routes_.end()) it = routes_.find(path);
    if (it != routes_.end()) handler = it->second;
  }
  if (!handler) {
    std::vector<std::string> groups;
    RegexHandler regex_handler;
    {
      std::lock_guard lock(mutex_);
      for (const auto& [re, h] : regex_routes_) {
        std::smatch m;
        if (std::regex_match(path, m, re)) {
          for (std::size_t k = 1; k < m.size(); ++k) groups.push_back(m[k].str());
          regex_handler = h;
          break;
        }
      }
    }
    if (regex_handler) {
      regex_handler(groups, res);
      return;
    }
  }
  if (handler) {
    handler(req, res);
  } else {
    res.status = 404;
    res.set_content("<html><body>not found</body></html>", "text/html");
  }
}

void TestServer::HandleRegex(const std::string& pattern, RegexHandler handler) {
  std::lock_guard lock(mutex_);
  regex_routes_.emplace_back(std::regex(pattern), std::move(handler));
}

std::vector<std::string> TestServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::vector<std::string> TestServer::Referers() const {
  std::lock_guard lock(mutex_);
  return referers_;
}

int TestServer::RequestCount(const std::string& path) const {
  std::lock_guard lock(mutex_);
  int n = 0;
  for (const auto& r : requests_) n += (r == path);
  return n;
}

std::string TinyPng() {
  static const unsigned char kPng[] = {
      0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44,
      0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0x1f,
      0x15, 0xc4, 0x89, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9c, 0x63, 0xf8,
      0xcf, 0xc0, 0xf0, 0x1f, 0x00, 0x05, 0x00, 0x01, 0xff, 0x89, 0x99, 0x3d, 0x1d, 0x00, 0x00,
      0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};
  return std::string(reinterpret_cast<const char*>(kPng), sizeof kPng);
}

std::string TinyGif() {
  static const unsigned char kGif[] = {
      0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00, 0xff, 0xff,
      0xff, 0x00, 0x00, 0x00, 0x21, 0xf9, 0x04, 0x01, 0x00, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00,
      0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3b};
  return std::string(reinterpret_cast<const char*>(kGif), sizeof kGif);
}

}  // namespace pelmoa::testing
