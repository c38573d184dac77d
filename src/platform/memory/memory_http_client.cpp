#include "platform/memory/memory_http_client.h"

#include <algorithm>
#include <cstring>

namespace qorva {

struct MemoryHttpClient::State {
  std::deque<Response> queued;
  std::vector<Exchange> exchanges;
  std::function<void(uint64_t)> writeObserver;
  int openHandles = 0;
};

namespace {

// Counts one live handle for as long as it exists.
class HandleCount {
 public:
  explicit HandleCount(int& count) : count_(count) { ++count_; }
  ~HandleCount() { --count_; }
  HandleCount(const HandleCount&) = delete;
  HandleCount& operator=(const HandleCount&) = delete;

 private:
  int& count_;
};

}  // namespace

class MemoryHttpClient::Request final : public HttpRequest {
 public:
  Request(std::shared_ptr<State> state, size_t index, Response response)
      : state_(std::move(state)),
        count_(state_->openHandles),
        index_(index),
        response_(std::move(response)) {}

  bool AddHeaders(TextView headers, HttpHeaderMode mode) override {
    if (response_.failAt == FailAt::kAddHeaders) return false;
    exchange().headers.emplace_back(Text(headers), mode);
    return true;
  }

  bool Send(std::string_view body) override {
    if (!BeginSend(body.size())) return false;
    if (!Write(body)) return false;
    return EndSend();
  }

  bool BeginSend(uint64_t totalLength) override {
    if (response_.failAt == FailAt::kSend || exchange().announcedLength) return false;
    exchange().announcedLength = totalLength;
    return true;
  }

  bool Write(std::string_view bytes) override {
    Exchange& ex = exchange();
    if (!ex.announcedLength || ended_) return false;
    if (bytes.size() > *ex.announcedLength - ex.body.size()) return false;
    if (response_.failAt == FailAt::kWrite && ex.body.size() + bytes.size() > response_.failAfter) {
      return false;
    }
    ++ex.writeCalls;
    ex.body.append(bytes);
    if (state_->writeObserver) state_->writeObserver(ex.body.size());
    return true;
  }

  bool EndSend() override {
    Exchange& ex = exchange();
    if (!ex.announcedLength || ended_ || ex.body.size() != *ex.announcedLength) return false;
    ended_ = true;
    if (response_.failAt == FailAt::kEndSend) return false;
    ex.sent = true;
    return true;
  }

  std::optional<Text> StatusCode() override {
    if (!exchange().sent) return std::nullopt;
    return response_.status;
  }

  std::optional<Text> RawHeaders() override {
    if (!exchange().sent) return std::nullopt;
    if (!response_.rawHeaders.empty()) return response_.rawHeaders;
    return u"HTTP/1.1 " + response_.status.value_or(u"200") + u"\r\n\r\n";
  }

  std::optional<size_t> Read(std::span<char> buffer) override {
    if (!exchange().sent) return std::nullopt;
    size_t take = std::min(buffer.size(), response_.body.size() - readPos_);
    if (response_.failAt == FailAt::kRead && readPos_ + take > response_.failAfter) {
      return std::nullopt;
    }
    std::memcpy(buffer.data(), response_.body.data() + readPos_, take);
    readPos_ += take;
    return take;
  }

 private:
  Exchange& exchange() { return state_->exchanges[index_]; }

  std::shared_ptr<State> state_;
  HandleCount count_;
  size_t index_;
  Response response_;
  bool ended_ = false;
  size_t readPos_ = 0;
};

class MemoryHttpClient::Connection final : public HttpConnection {
 public:
  Connection(std::shared_ptr<State> state, size_t index, Response response)
      : state_(std::move(state)),
        count_(state_->openHandles),
        index_(index),
        response_(std::move(response)) {}

  std::unique_ptr<HttpRequest> OpenRequest(const HttpRequestLine& line) override {
    if (response_.failAt == FailAt::kOpenRequest) return nullptr;
    state_->exchanges[index_].line = line;
    return std::make_unique<Request>(state_, index_, response_);
  }

 private:
  std::shared_ptr<State> state_;
  HandleCount count_;
  size_t index_;
  Response response_;
};

class MemoryHttpClient::Session final : public HttpSession {
 public:
  Session(std::shared_ptr<State> state, size_t index, Response response)
      : state_(std::move(state)),
        count_(state_->openHandles),
        index_(index),
        response_(std::move(response)) {}

  std::unique_ptr<HttpConnection> Connect(TextView host, uint32_t port) override {
    if (response_.failAt == FailAt::kConnect || host.empty() || port == 0 || port > 65535) {
      return nullptr;
    }
    Exchange& ex = state_->exchanges[index_];
    ex.host = host;
    ex.port = port;
    return std::make_unique<Connection>(state_, index_, response_);
  }

 private:
  std::shared_ptr<State> state_;
  HandleCount count_;
  size_t index_;
  Response response_;
};

MemoryHttpClient::MemoryHttpClient() : state_(std::make_shared<State>()) {}

MemoryHttpClient::~MemoryHttpClient() = default;

std::unique_ptr<HttpSession> MemoryHttpClient::Open(TextView userAgent) {
  Response response;
  if (!state_->queued.empty()) {
    response = std::move(state_->queued.front());
    state_->queued.pop_front();
  }
  Exchange exchange;
  exchange.userAgent = userAgent;
  state_->exchanges.push_back(std::move(exchange));
  if (response.failAt == FailAt::kOpen) return nullptr;
  return std::make_unique<Session>(state_, state_->exchanges.size() - 1, std::move(response));
}

void MemoryHttpClient::QueueResponse(Response response) {
  state_->queued.push_back(std::move(response));
}

const std::vector<MemoryHttpClient::Exchange>& MemoryHttpClient::exchanges() const {
  return state_->exchanges;
}

int MemoryHttpClient::OpenHandleCount() const { return state_->openHandles; }

void MemoryHttpClient::SetWriteObserver(std::function<void(uint64_t)> observer) {
  state_->writeObserver = std::move(observer);
}

}  // namespace qorva
