#include "raw_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace pelmoa::testing {
namespace {

bool SendAll(int fd, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

bool SleepUnlessStopping(int ms, const std::atomic<bool>& stopping) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < until) {
    if (stopping) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return !stopping;
}

RawServer::RawServer(Behaviour behaviour) : behaviour_(std::move(behaviour)) {
  listen_fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listen_fd_ < 0) throw std::runtime_error("socket");
  int one = 1;
  ::setsockopt(listen_fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  if (::bind(listen_fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::listen(listen_fd_, 64) != 0) {
    ::close(listen_fd_);
    throw std::runtime_error("bind/listen");
  }
  socklen_t len = sizeof addr;
  ::getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&addr), &len);
  port_ = ntohs(addr.sin_port);
  accept_thread_ = std::thread([this] { AcceptLoop(); });
}

RawServer::~RawServer() {
  stopping_ = true;
  accept_thread_.join();
  {
    std::lock_guard lock(mutex_);
    // Wakes connection threads blocked in recv or send.
    for (int fd : open_fds_) ::shutdown(fd, SHUT_RDWR);
  }
  for (auto& t : threads_) t.join();
  ::close(listen_fd_);
}

std::string RawServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void RawServer::AcceptLoop() {
  while (!stopping_) {
    pollfd p{listen_fd_, POLLIN, 0};
    if (::poll(&p, 1, 20) <= 0) continue;
    const int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    ++connections_;
    std::lock_guard lock(mutex_);
    open_fds_.push_back(fd);
    threads_.emplace_back([this, fd] { Serve(fd); });
  }
}

void RawServer::Serve(int fd) {
  std::string request;
  char buf[4096];
  while (request.find("\r\n\r\n") == std::string::npos && !stopping_) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 20) <= 0) continue;
    const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
    if (n <= 0) break;
    request.append(buf, static_cast<std::size_t>(n));
  }
  if (!stopping_ && request.find("\r\n\r\n") != std::string::npos) {
    behaviour_(fd, request, stopping_);
  }
  std::lock_guard lock(mutex_);
  std::erase(open_fds_, fd);
  ::close(fd);
}

void ResetMidBody(int fd, const std::string&, const std::atomic<bool>&) {
  SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: 1000000\r\n\r\n" +
                  std::string(64 * 1024, 'R'));
  // Lingering for zero seconds turns the close that follows into a reset.
  linger l{1, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
}

void ShortBody(int fd, const std::string&, const std::atomic<bool>&) {
  SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: 5000\r\n\r\n" +
                  std::string(1000, 'S'));
}

void ChunkedCutShort(int fd, const std::string&, const std::atomic<bool>&) {
  SendAll(fd,
          "HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nTransfer-Encoding: chunked\r\n\r\n"
          "400\r\n" +
              std::string(1024, 'C') + "\r\n");
}

void Silent(int, const std::string&, const std::atomic<bool>& stopping) {
  while (SleepUnlessStopping(50, stopping)) {
  }
}

RawServer::Behaviour DripBody(int interval_ms) {
  return [interval_ms](int fd, const std::string&, const std::atomic<bool>& stopping) {
    if (!SendAll(fd,
                 "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n"
                 "Content-Length: 100000000\r\n\r\n")) {
      return;
    }
    while (SleepUnlessStopping(interval_ms, stopping)) {
      if (!SendAll(fd, "<")) return;
    }
  };
}

RawServer::Behaviour SlowBody(int size, int piece, int interval_ms) {
  return [=](int fd, const std::string&, const std::atomic<bool>& stopping) {
    if (!SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: " +
                         std::to_string(size) + "\r\n\r\n")) {
      return;
    }
    for (int sent = 0; sent < size; sent += piece) {
      if (!SleepUnlessStopping(interval_ms, stopping) ||
          !SendAll(fd, std::string(std::min(piece, size - sent), 'L'))) {
        return;
      }
    }
  };
}

void EndlessHead(int fd, const std::string&, const std::atomic<bool>& stopping) {
  if (!SendAll(fd, "HTTP/1.1 200 OK\r\n")) return;
  std::string lines;
  for (int k = 0; k < 256; ++k)
    lines += "X-Pad-" + std::to_string(k) + ": " + std::string(64, 'p') + "\r\n";
  while (!stopping && SendAll(fd, lines)) {
  }
}

RawServer::Behaviour DripHead(int interval_ms) {
  return [interval_ms](int fd, const std::string&, const std::atomic<bool>& stopping) {
    const std::string head = "HTTP/1.1 200 OK\r\nX-Padding: " + std::string(100000, 'x');
    for (char c : head) {
      if (!SendAll(fd, std::string(1, c))) return;
      if (!SleepUnlessStopping(interval_ms, stopping)) return;
    }
  };
}

}  // namespace pelmoa::testing
