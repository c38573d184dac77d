// An HTTP peer held in memory: it records every request as the client built it and
// answers each session with the response queued for it, failing where that response
// says, as a real client would report it. It counts open handles so that tests can see
// every handle closed.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/http_client.h"

namespace qorva {

class MemoryHttpClient final : public HttpClient {
 public:
  // The step at which a scripted exchange fails.
  enum class FailAt {
    kNothing,
    kOpen,
    kConnect,
    kOpenRequest,
    kAddHeaders,
    kSend,
    kWrite,
    kEndSend,
    kRead
  };

  struct Response {
    // None: the status cannot be read.
    std::optional<Text> status = Text(u"200");
    // Empty: a status line made of the status and nothing else.
    Text rawHeaders;
    std::string body;
    FailAt failAt = FailAt::kNothing;
    // With kWrite, the body bytes accepted before writes fail; with kRead, the response
    // bytes handed out before reads fail.
    uint64_t failAfter = 0;
  };

  // One request as the client made it.
  struct Exchange {
    Text userAgent;
    Text host;
    uint32_t port = 0;
    HttpRequestLine line;
    std::vector<std::pair<Text, HttpHeaderMode>> headers;  // one entry per AddHeaders call
    std::optional<uint64_t> announcedLength;
    std::string body;
    size_t writeCalls = 0;
    bool sent = false;  // the request went out completely
  };

  MemoryHttpClient();
  ~MemoryHttpClient() override;

  std::unique_ptr<HttpSession> Open(TextView userAgent) override;

  // Answers the next session; a session without a queued response answers 200 with an
  // empty body.
  void QueueResponse(Response response);
  const std::vector<Exchange>& exchanges() const;
  // Sessions, connections and requests not destroyed yet.
  int OpenHandleCount() const;
  // Called after every accepted Write with the number of body bytes written so far.
  void SetWriteObserver(std::function<void(uint64_t)> observer);

 private:
  struct State;
  class Session;
  class Connection;
  class Request;
  std::shared_ptr<State> state_;
};

}  // namespace qorva
