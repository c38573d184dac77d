// Real servers on 127.0.0.1 that a test starts for itself: PHP's built-in server over a
// folder of pages, or the Python peer of tests/e2e/servers. The server process ends
// when the object goes.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace qorva {

class LocalServer {
 public:
  using Environment = std::vector<std::pair<std::string, std::string>>;

  // PHP's built-in server on a free port, serving `documentRoot`, with large uploads
  // allowed. Null (with the reason in `error`) when it does not come up.
  static std::unique_ptr<LocalServer> StartPhp(const std::string& documentRoot,
                                               const Environment& environment, std::string& error);
  // The Python peer in one of its modes ("http", "silent", "sniff FILE").
  static std::unique_ptr<LocalServer> StartPeer(const std::vector<std::string>& mode,
                                                std::string& error);

  ~LocalServer();
  LocalServer(const LocalServer&) = delete;
  LocalServer& operator=(const LocalServer&) = delete;

  uint16_t port() const { return port_; }
  // "http://127.0.0.1:PORT" followed by `path`.
  std::string Url(const std::string& path = "/") const;

 private:
  LocalServer(pid_t pid, uint16_t port) : pid_(pid), port_(port) {}

  pid_t pid_;
  uint16_t port_;
};

// A port nobody listens on (bound once, then released); 0 when none could be bound.
uint16_t UnusedPort();

}  // namespace qorva
