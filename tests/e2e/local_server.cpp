#include "e2e/local_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

namespace qorva {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kStartLimit = std::chrono::seconds(15);

struct Spawned {
  pid_t pid = -1;
  int stdoutFd = -1;  // the read end of the child's standard output, when piped
};

Spawned Spawn(const std::vector<std::string>& argv, const LocalServer::Environment& extra,
              bool pipeStdout, bool quietStderr) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) env.emplace_back(*e);
  for (const auto& [name, value] : extra) env.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::vector<std::string> args = argv;
  std::vector<char*> argp;
  for (std::string& a : args) argp.push_back(a.data());
  argp.push_back(nullptr);

  int fds[2] = {-1, -1};
  if (pipeStdout && pipe2(fds, O_CLOEXEC) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  if (pipeStdout) {
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  } else {
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  }
  if (quietStderr) {
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  }
  // Its own process group, so that ending it also ends whatever it started.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);
  pid_t pid = -1;
  int rc = posix_spawnp(&pid, argp[0], &actions, &attributes, argp.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (pipeStdout) close(fds[1]);
  if (rc != 0) {
    if (pipeStdout) close(fds[0]);
    return {};
  }
  return {pid, pipeStdout ? fds[0] : -1};
}

void Stop(pid_t pid) {
  if (pid <= 0) return;
  kill(-pid, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(-pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

bool Accepts(uint16_t port) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return ok;
}

// The first line of `fd`, waiting at most until `deadline`.
std::string ReadLine(int fd, Clock::time_point deadline) {
  std::string line;
  while (Clock::now() < deadline) {
    pollfd p{fd, POLLIN, 0};
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (poll(&p, 1, static_cast<int>(left.count()) + 1) <= 0) continue;
    char c;
    if (read(fd, &c, 1) != 1) break;
    if (c == '\n') return line;
    line.push_back(c);
  }
  return line;
}

}  // namespace

std::unique_ptr<LocalServer> LocalServer::StartPhp(const std::string& documentRoot,
                                                   const Environment& environment,
                                                   std::string& error) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    uint16_t port = UnusedPort();
    std::string address = "127.0.0.1:" + std::to_string(port);
    Spawned child =
        Spawn({QORVA_PHP, "-n", "-d", "upload_max_filesize=4G", "-d", "post_max_size=4G", "-d",
               "memory_limit=-1", "-S", address, "-t", documentRoot},
              environment, false, true);
    if (child.pid <= 0) {
      error = "cannot start " + std::string(QORVA_PHP);
      return nullptr;
    }
    Clock::time_point deadline = Clock::now() + kStartLimit;
    while (Clock::now() < deadline) {
      if (Accepts(port)) return std::unique_ptr<LocalServer>(new LocalServer(child.pid, port));
      if (waitpid(child.pid, nullptr, WNOHANG) == child.pid) break;  // port taken meanwhile
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    Stop(child.pid);
  }
  error = "PHP's built-in server did not come up";
  return nullptr;
}

std::unique_ptr<LocalServer> LocalServer::StartPeer(const std::vector<std::string>& mode,
                                                    std::string& error) {
  std::vector<std::string> argv = {QORVA_PYTHON,
                                   QORVA_SOURCE_DIR "/tests/e2e/servers/http_peer.py"};
  argv.insert(argv.end(), mode.begin(), mode.end());
  Spawned child = Spawn(argv, {}, true, false);
  if (child.pid <= 0) {
    error = "cannot start " + std::string(QORVA_PYTHON);
    return nullptr;
  }
  std::string line = ReadLine(child.stdoutFd, Clock::now() + kStartLimit);
  close(child.stdoutFd);
  if (!line.starts_with("PORT ")) {
    Stop(child.pid);
    error = "the peer did not announce its port (got '" + line + "')";
    return nullptr;
  }
  uint16_t port = static_cast<uint16_t>(std::stoi(line.substr(5)));
  return std::unique_ptr<LocalServer>(new LocalServer(child.pid, port));
}

LocalServer::~LocalServer() { Stop(pid_); }

std::string LocalServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

uint16_t UnusedPort() {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return 0;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                     getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0;
  close(fd);
  return bound ? ntohs(address.sin_port) : 0;
}

}  // namespace qorva
