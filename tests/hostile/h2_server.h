#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace pelmoa::testing {

// The HTTP/2 test server (h2_server.js under Node) as a child process with the trusted test
// certificate; stopped with the object. Not usable when Node is not installed. The Windows
// build's tests start the host's Node from under Wine.
class H2Server {
 public:
  // Later images of a page answer step_ms × (N - K) sooner than image K. With http1 the
  // server also speaks HTTP/1.1 to a client that does not offer HTTP/2.
  H2Server(int step_ms, bool http1);
  ~H2Server();
  H2Server(const H2Server&) = delete;
  H2Server& operator=(const H2Server&) = delete;

  // Empty when the server runs; otherwise why not.
  const std::string& failure() const { return failure_; }
  std::string Url(const std::string& path) const;
  // TLS connections so far and the most requests open at once.
  int sessions() const { return Stat(0); }
  int most_streams() const { return Stat(1); }

 private:
  int Stat(int which) const;
  // The platform's part (h2_spawn.cpp, h2_spawn_win.cpp): the path by which Node reaches a
  // file of ours (empty when it cannot), starting Node with args, whether it has ended
  // (false when that cannot be told), and stopping it.
  static std::string NodePath(const std::filesystem::path& path);
  bool Spawn(std::vector<std::string> args);
  bool Ended();
  void Stop();

#ifndef _WIN32
  pid_t pid_ = -1;
  int stdin_fd_ = -1;
#endif
  int port_ = 0;
  std::filesystem::path folder_;
  std::string failure_;
};

}  // namespace pelmoa::testing
