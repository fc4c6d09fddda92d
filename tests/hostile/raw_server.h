#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pelmoa::testing {

// A listening socket on 127.0.0.1 that answers each connection with a scripted misbehaviour
// at the byte level (resets, silence, drips), which an HTTP library will not produce.
class RawServer {
 public:
  // Called on the connection's own thread once the request head has arrived; the
  // connection is closed when it returns. It must return soon after stopping becomes true.
  using Behaviour =
      std::function<void(int fd, const std::string& request, const std::atomic<bool>& stopping)>;

  explicit RawServer(Behaviour behaviour);
  ~RawServer();
  RawServer(const RawServer&) = delete;
  RawServer& operator=(const RawServer&) = delete;

  std::string Url(const std::string& path) const;
  int connections() const { return connections_.load(); }

 private:
  void AcceptLoop();
  void Serve(int fd);

  Behaviour behaviour_;
  int listen_fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> connections_{0};
  std::thread accept_thread_;
  std::mutex mutex_;
  std::vector<int> open_fds_;
  std::vector<std::thread> threads_;
};

// Behaviours.
// Headers promising a large body, part of it, then a TCP reset instead of the rest.
void ResetMidBody(int fd, const std::string& request, const std::atomic<bool>& stopping);
// Promises more body than it sends, then closes the connection cleanly.
void ShortBody(int fd, const std::string& request, const std::atomic<bool>& stopping);
// A chunked body that stops between chunks, without the last, empty chunk.
void ChunkedCutShort(int fd, const std::string& request, const std::atomic<bool>& stopping);
// Reads the request and says nothing, holding the connection open.
void Silent(int fd, const std::string& request, const std::atomic<bool>& stopping);
// Complete headers of an endless body, then one body byte every interval.
RawServer::Behaviour DripBody(int interval_ms);
// Complete headers of a body of `size` bytes ('L'), then `piece` of them every interval.
RawServer::Behaviour SlowBody(int size, int piece, int interval_ms);
// A status line, then header lines without end, as fast as the client takes them.
void EndlessHead(int fd, const std::string& request, const std::atomic<bool>& stopping);
// The response itself, status line included, one byte every interval.
RawServer::Behaviour DripHead(int interval_ms);

// Sleeps in small steps; false when stopping was set meanwhile.
bool SleepUnlessStopping(int ms, const std::atomic<bool>& stopping);

}  // namespace pelmoa::testing
