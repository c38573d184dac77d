// HTTP as the upload and the download use it: a session with a user agent, a connection
// to one host and port, and requests on it whose body is written in pieces and whose
// response is read in blocks. Every call blocks until it is done, fails, or runs into
// the back end's time-outs; none waits without end.
//
// Handles nest: a request must be destroyed before its connection, a connection before
// its session. Destroying a request closes it, also in the middle of a transfer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace qorva {

// How a request treats caches, connections and redirects, and whether it uses TLS.
enum HttpRequestFlag : uint32_t {
  kHttpReload = 1u << 0,          // always ask the server, never a cache
  kHttpNoCacheWrite = 1u << 1,    // do not keep the response in a cache
  kHttpKeepConnection = 1u << 2,  // ask the server to keep the connection open
  kHttpNoAutoRedirect = 1u << 3,  // hand a redirect answer back instead of following it
  kHttpFormsSubmit = 1u << 4,     // the request submits a form
  kHttpSecure = 1u << 5,          // TLS on the connection's port
};
using HttpRequestFlags = uint32_t;

struct HttpRequestLine {
  Text method;
  // Sent as the request target exactly as given: "%" sequences are not decoded or
  // re-encoded. Empty means "/".
  Text path;
  // "HTTP/1.0" or "HTTP/1.1"; empty for the back end's default.
  Text version;
  // The Accept header's media types; none sends no Accept header of its own.
  std::vector<Text> acceptTypes;
  HttpRequestFlags flags = 0;
};

enum class HttpHeaderMode { kAdd, kAddOrReplace };

class HttpRequest {
 public:
  virtual ~HttpRequest() = default;

  // Adds header lines, each "Name: value" ending in CR LF (empty lines are skipped).
  // kAddOrReplace replaces a header of the same name. False when a line is malformed.
  virtual bool AddHeaders(TextView headers, HttpHeaderMode mode) = 0;

  // Sends the request with `body` in one piece and waits for the response's head.
  virtual bool Send(std::string_view body) = 0;

  // Starts a request whose body of exactly `totalLength` bytes follows through Write,
  // then EndSend, which waits for the response's head. Writing more than announced, or
  // ending before all of it was written, fails.
  virtual bool BeginSend(uint64_t totalLength) = 0;
  virtual bool Write(std::string_view bytes) = 0;
  virtual bool EndSend() = 0;

  // The response's status code as the server wrote it ("200"); none before the
  // response's head has arrived.
  virtual std::optional<Text> StatusCode() = 0;
  // The status line and every header line, each ending in CR LF, then an empty line;
  // none before the response's head has arrived.
  virtual std::optional<Text> RawHeaders() = 0;

  // Reads the next bytes of the body into `buffer`, filling it unless the body ends
  // first; 0 at the end of the body; none when the transfer failed (also after a body
  // cut short or an idle time-out).
  virtual std::optional<size_t> Read(std::span<char> buffer) = 0;
};

class HttpConnection {
 public:
  virtual ~HttpConnection() = default;

  // Null when the request cannot be made (an unknown version, a malformed method).
  virtual std::unique_ptr<HttpRequest> OpenRequest(const HttpRequestLine& line) = 0;
};

class HttpSession {
 public:
  virtual ~HttpSession() = default;

  // A connection to `host` and `port`; nothing is sent yet. Null when the host cannot
  // be used or the port is not 1 to 65535.
  virtual std::unique_ptr<HttpConnection> Connect(TextView host, uint32_t port) = 0;
};

class HttpClient {
 public:
  virtual ~HttpClient() = default;

  // A session whose requests carry `userAgent`, with the system's proxy settings.
  virtual std::unique_ptr<HttpSession> Open(TextView userAgent) = 0;
};

}  // namespace qorva
