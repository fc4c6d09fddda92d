#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "h2_server.h"

extern char** environ;

namespace pelmoa::testing {

std::string H2Server::NodePath(const std::filesystem::path& path) { return path.string(); }

bool H2Server::Spawn(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  // The server's stdin is a pipe it watches: it ends when this process goes, however.
  int pipe_fds[2];
  if (::pipe2(pipe_fds, O_CLOEXEC) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_fds[0], 0);
  const int spawned = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipe_fds[0]);
  stdin_fd_ = pipe_fds[1];
  if (spawned != 0) pid_ = -1;
  return spawned == 0;
}

bool H2Server::Ended() {
  int status = 0;
  if (::waitpid(pid_, &status, WNOHANG) != pid_) return false;
  pid_ = -1;
  return true;
}

void H2Server::Stop() {
  if (stdin_fd_ >= 0) ::close(stdin_fd_);
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
}

}  // namespace pelmoa::testing
