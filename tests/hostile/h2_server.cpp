#include "h2_server.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "test_certificates.h"

extern char** environ;

namespace pelmoa::testing {

H2Server::H2Server(int step_ms, bool http1) {
  if (std::string(PELMOA_NODE).empty()) {
    failure_ = "Node is not installed (the HTTP/2 test server runs on it)";
    return;
  }
  folder_ = (std::filesystem::temp_directory_path() /
             ("pelmoa-h2-" + std::to_string(::getpid()) + "-" + std::to_string(
                 std::chrono::steady_clock::now().time_since_epoch().count())))
                .string();
  std::filesystem::create_directories(folder_);
  const TestCertificates& certs = TestCertificates::Get();
  const std::string port_file = folder_ + "/port";
  const std::string step = std::to_string(step_ms);
  const std::string cert = certs.cert_file(ServerCert::kTrusted);
  std::vector<std::string> args = {PELMOA_NODE, PELMOA_H2_SERVER_JS, cert, certs.key_file(),
                                   port_file, step, http1 ? "http1" : "h2"};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  // The server's stdin is a pipe it watches: it ends when this process goes, however.
  int pipe_fds[2];
  if (::pipe2(pipe_fds, O_CLOEXEC) != 0) {
    failure_ = "no pipe";
    return;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_fds[0], 0);
  const int spawned = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipe_fds[0]);
  stdin_fd_ = pipe_fds[1];
  if (spawned != 0) {
    pid_ = -1;
    failure_ = "cannot start Node";
    return;
  }
  // Starting Node takes a moment, longer on a loaded machine.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline) {
    std::ifstream in(port_file);
    if (in >> port_) return;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      failure_ = "the HTTP/2 test server ended at its start";
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  failure_ = "the HTTP/2 test server did not start within a minute";
}

H2Server::~H2Server() {
  if (stdin_fd_ >= 0) ::close(stdin_fd_);
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
  std::error_code ec;
  if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
}

std::string H2Server::Url(const std::string& path) const {
  return "https://127.0.0.1:" + std::to_string(port_) + path;
}

int H2Server::Stat(int which) const {
  std::ifstream in(folder_ + "/port.stats");
  int values[2] = {-1, -1};
  in >> values[0] >> values[1];
  return values[which];
}

}  // namespace pelmoa::testing
