// The HTTP client on libcurl. libcurl pulls a request body through a callback and
// pushes the response through another; the port's callers push the body and pull the
// response. The two meet through curl's multi interface: a transfer is driven only
// while a call waits for it, and paused (both ways) in between, so that neither the
// body nor the response is ever held in memory beyond a block or two.
//
// Caches do not exist here, so the reload and no-cache-write flags hold by
// themselves; keep-connection and forms-submit change nothing on the wire, as every
// session's connection ends with it.
#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <utility>

#include "platform/native_http_client.h"
#include "support/encoding.h"

namespace qorva {

namespace {

using Clock = std::chrono::steady_clock;

// Beyond this much unread response the transfer is paused until the caller reads.
constexpr size_t kMaxBufferedBody = size_t{256} * 1024;
constexpr long kPollMilliseconds = 100;
// A body block of the callers fits curl's upload buffer whole.
constexpr long kUploadBufferSize = 256L * 1024;

void InitCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool IsTokenUnit(char16_t unit) {
  if (unit >= 0x80) return false;
  if ((unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z') ||
      (unit >= u'0' && unit <= u'9')) {
    return true;
  }
  return std::u16string_view(u"!#$%&'*+-.^_`|~").find(unit) != std::u16string_view::npos;
}

bool IsToken(TextView text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), IsTokenUnit);
}

// A host name goes into a URL: anything that would change the URL's structure (user
// information, a path, a port) is refused rather than passed on.
bool IsUsableHost(TextView host) {
  if (host.empty()) return false;
  return std::all_of(host.begin(), host.end(), [](char16_t unit) {
    if (unit >= 0x80) return true;
    return (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z') ||
           (unit >= u'0' && unit <= u'9') || unit == u'-' || unit == u'.' || unit == u'_';
  });
}

// The request target as bytes. Everything the request line can carry stays as it is,
// "%" sequences included; bytes it cannot carry (controls, space, non-ASCII) are
// percent-encoded, and so is "#", which curl would otherwise cut off as a fragment.
std::string RequestTarget(TextView path) {
  std::string bytes = ToUtf8(path.empty() ? TextView(u"/") : path);
  std::string out;
  if (bytes.front() != '/') out.push_back('/');
  for (unsigned char byte : bytes) {
    if (byte > 0x20 && byte < 0x7F && byte != '#') {
      out.push_back(static_cast<char>(byte));
      continue;
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += '%';
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
  }
  return out;
}

struct Header {
  std::string name;
  std::string line;  // "Name: value"
};

struct SessionSettings {
  std::string userAgent;
  HttpTimeouts timeouts;
};

class CurlRequest final : public HttpRequest {
 public:
  CurlRequest(std::shared_ptr<const SessionSettings> settings, std::string url, std::string method,
              long version, const HttpRequestLine& line)
      : settings_(std::move(settings)),
        url_(std::move(url)),
        method_(std::move(method)),
        version_(version),
        flags_(line.flags) {
    if (!line.acceptTypes.empty()) {
      std::string accept = "Accept: ";
      for (size_t i = 0; i < line.acceptTypes.size(); ++i) {
        if (i > 0) accept += ", ";
        accept += ToUtf8(line.acceptTypes[i]);
      }
      headers_.push_back({"Accept", accept});
    }
  }

  ~CurlRequest() override {
    if (multi_ && easy_) curl_multi_remove_handle(multi_, easy_);
    if (easy_) curl_easy_cleanup(easy_);
    if (multi_) curl_multi_cleanup(multi_);
    curl_slist_free_all(headerList_);
  }

  bool AddHeaders(TextView headers, HttpHeaderMode mode) override {
    if (started_) return false;
    std::vector<Header> parsed;
    std::string bytes = ToUtf8(headers);
    size_t pos = 0;
    while (pos < bytes.size()) {
      size_t end = bytes.find('\n', pos);
      if (end == std::string::npos) end = bytes.size();
      std::string_view line(bytes.data() + pos, end - pos);
      pos = end + 1;
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      if (line.empty()) continue;
      std::optional<Header> header = ParseHeaderLine(line);
      if (!header) return false;
      parsed.push_back(std::move(*header));
    }
    for (Header& header : parsed) {
      if (mode == HttpHeaderMode::kAddOrReplace) {
        std::erase_if(headers_,
                      [&](const Header& h) { return EqualsAsciiIgnoreCase(h.name, header.name); });
      }
      headers_.push_back(std::move(header));
    }
    return true;
  }

  bool Send(std::string_view body) override {
    if (!BeginSend(body.size())) return false;
    if (!body.empty() && !Write(body)) return false;
    return EndSend();
  }

  bool BeginSend(uint64_t totalLength) override {
    if (started_) return false;
    total_ = totalLength;
    if (!Start()) return false;
    Drive([&] { return readWanted_ || headersDone_; });
    return !failed_;
  }

  bool Write(std::string_view bytes) override {
    if (!started_ || failed_) return false;
    if (bytes.size() > total_ - sent_) return false;
    if (bytes.empty()) return true;
    pending_ = bytes;
    pendingPos_ = 0;
    curl_easy_pause(easy_, CURLPAUSE_CONT);
    Drive([&] { return pendingPos_ == pending_.size(); });
    bool consumed = pendingPos_ == pending_.size();
    // curl must never look at the caller's buffer after this call.
    pending_ = {};
    pendingPos_ = 0;
    if (!consumed) {
      Abort();
      return false;
    }
    sent_ += bytes.size();
    return true;
  }

  bool EndSend() override {
    if (!started_ || failed_) return false;
    if (sent_ != total_) {
      Abort();
      return false;
    }
    Drive([&] { return headersDone_; });
    return headersDone_;
  }

  std::optional<Text> StatusCode() override {
    if (!headersDone_) return std::nullopt;
    return Widen(std::to_string(status_));
  }

  std::optional<Text> RawHeaders() override {
    if (!headersDone_) return std::nullopt;
    return Widen(rawHeaders_);
  }

  std::optional<size_t> Read(std::span<char> buffer) override {
    if (!headersDone_) return std::nullopt;
    size_t filled = 0;
    while (true) {
      size_t take = std::min(body_.size() - bodyPos_, buffer.size() - filled);
      std::memcpy(buffer.data() + filled, body_.data() + bodyPos_, take);
      bodyPos_ += take;
      filled += take;
      if (bodyPos_ == body_.size()) {
        body_.clear();
        bodyPos_ = 0;
      }
      if (filled == buffer.size()) return filled;
      if (failed_ || (finished_ && result_ != CURLE_OK)) return std::nullopt;
      if (finished_) return filled;
      curl_easy_pause(easy_, CURLPAUSE_CONT);
      Drive([&] { return body_.size() > bodyPos_; });
    }
  }

 private:
  static std::optional<Header> ParseHeaderLine(std::string_view line) {
    size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0) return std::nullopt;
    std::string_view name = line.substr(0, colon);
    if (!IsToken(Widen(name))) return std::nullopt;
    std::string_view value = line.substr(colon + 1);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
      value.remove_prefix(1);
    for (char c : value) {
      if (c == '\r' || c == '\0') return std::nullopt;
    }
    return Header{std::string(name), std::string(name) + ": " + std::string(value)};
  }

  bool HasHeader(std::string_view name) const {
    return std::any_of(headers_.begin(), headers_.end(),
                       [&](const Header& h) { return EqualsAsciiIgnoreCase(h.name, name); });
  }

  bool Start() {
    started_ = true;
    easy_ = curl_easy_init();
    multi_ = curl_multi_init();
    if (!easy_ || !multi_) return Fail();

    bool ok = curl_easy_setopt(easy_, CURLOPT_URL, url_.c_str()) == CURLE_OK;
    ok &= curl_easy_setopt(easy_, CURLOPT_PATH_AS_IS, 1L) == CURLE_OK;
    ok &= curl_easy_setopt(easy_, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK;
    ok &= curl_easy_setopt(easy_, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK;
    ok &= curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L) == CURLE_OK;
    ok &= curl_easy_setopt(easy_, CURLOPT_UPLOAD_BUFFERSIZE, kUploadBufferSize) == CURLE_OK;
    ok &= curl_easy_setopt(easy_, CURLOPT_USERAGENT, settings_->userAgent.c_str()) == CURLE_OK;
    ok &= curl_easy_setopt(easy_, CURLOPT_HTTP_VERSION, version_) == CURLE_OK;
    ok &= curl_easy_setopt(easy_, CURLOPT_CONNECTTIMEOUT_MS,
                           static_cast<long>(settings_->timeouts.connect.count())) == CURLE_OK;
    bool follow = !(flags_ & kHttpNoAutoRedirect);
    ok &= curl_easy_setopt(easy_, CURLOPT_FOLLOWLOCATION, follow ? 1L : 0L) == CURLE_OK;
    ok &= curl_easy_setopt(easy_, CURLOPT_MAXREDIRS, 10L) == CURLE_OK;

    bool hasBody = total_ > 0 || method_ == "POST";
    if (method_ == "GET" && !hasBody) {
      ok &= curl_easy_setopt(easy_, CURLOPT_HTTPGET, 1L) == CURLE_OK;
    } else if (method_ == "HEAD" && !hasBody) {
      ok &= curl_easy_setopt(easy_, CURLOPT_NOBODY, 1L) == CURLE_OK;
    } else if (hasBody) {
      ok &= curl_easy_setopt(easy_, CURLOPT_POST, 1L) == CURLE_OK;
      ok &= curl_easy_setopt(easy_, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(total_)) ==
            CURLE_OK;
      ok &= curl_easy_setopt(easy_, CURLOPT_READFUNCTION, &CurlRequest::OnRead) == CURLE_OK;
      ok &= curl_easy_setopt(easy_, CURLOPT_READDATA, this) == CURLE_OK;
      if (method_ != "POST") {
        ok &= curl_easy_setopt(easy_, CURLOPT_CUSTOMREQUEST, method_.c_str()) == CURLE_OK;
      }
    } else {
      ok &= curl_easy_setopt(easy_, CURLOPT_CUSTOMREQUEST, method_.c_str()) == CURLE_OK;
    }

    // curl's own defaults give way to what the caller set, or go.
    std::vector<std::string> lines;
    for (const Header& header : headers_) lines.push_back(header.line);
    if (!HasHeader("Accept")) lines.emplace_back("Accept:");
    if (!HasHeader("Expect")) lines.emplace_back("Expect:");
    if (hasBody && !HasHeader("Content-Type")) lines.emplace_back("Content-Type:");
    for (const std::string& line : lines) {
      curl_slist* next = curl_slist_append(headerList_, line.c_str());
      if (!next) return Fail();
      headerList_ = next;
    }
    ok &= curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, headerList_) == CURLE_OK;
    ok &= curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, &CurlRequest::OnHeader) == CURLE_OK;
    ok &= curl_easy_setopt(easy_, CURLOPT_HEADERDATA, this) == CURLE_OK;
    ok &= curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &CurlRequest::OnBody) == CURLE_OK;
    ok &= curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this) == CURLE_OK;
    if (!ok) return Fail();
    if (curl_multi_add_handle(multi_, easy_) != CURLM_OK) return Fail();
    return true;
  }

  // Runs the transfer until `done` holds, it ends, or nothing moves for the idle time.
  template <typename Done>
  void Drive(Done done) {
    Clock::time_point lastMove = Clock::now();
    uint64_t seen = moved_;
    while (!done() && !finished_) {
      int running = 0;
      if (curl_multi_perform(multi_, &running) != CURLM_OK) {
        Fail();
        return;
      }
      int queued = 0;
      while (CURLMsg* message = curl_multi_info_read(multi_, &queued)) {
        if (message->msg != CURLMSG_DONE) continue;
        finished_ = true;
        result_ = message->data.result;
        // A last answer that curl did not follow is the response.
        if (result_ == CURLE_OK && !headersDone_ && !rawHeaders_.empty()) headersDone_ = true;
      }
      if (done() || finished_) return;
      if (moved_ != seen) {
        seen = moved_;
        lastMove = Clock::now();
      } else if (Clock::now() - lastMove >= settings_->timeouts.idle) {
        Abort();
        return;
      }
      curl_multi_poll(multi_, nullptr, 0, kPollMilliseconds, nullptr);
    }
  }

  bool Fail() {
    failed_ = true;
    finished_ = true;
    if (result_ == CURLE_OK) result_ = CURLE_ABORTED_BY_CALLBACK;
    return false;
  }

  // Ends the transfer for good: the connection closes, later calls fail.
  void Abort() {
    if (multi_ && easy_) curl_multi_remove_handle(multi_, easy_);
    Fail();
  }

  static size_t OnRead(char* buffer, size_t size, size_t count, void* user) {
    auto* self = static_cast<CurlRequest*>(user);
    size_t room = size * count;
    size_t left = self->pending_.size() - self->pendingPos_;
    if (left == 0) {
      self->readWanted_ = true;
      return CURL_READFUNC_PAUSE;
    }
    size_t take = std::min(room, left);
    std::memcpy(buffer, self->pending_.data() + self->pendingPos_, take);
    self->pendingPos_ += take;
    self->moved_ += take;
    return take;
  }

  static size_t OnHeader(char* data, size_t size, size_t count, void* user) {
    auto* self = static_cast<CurlRequest*>(user);
    size_t length = size * count;
    self->moved_ += length;
    std::string_view line(data, length);
    if (line.starts_with("HTTP/")) self->rawHeaders_.clear();
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    if (!line.empty()) {
      self->rawHeaders_.append(line);
      self->rawHeaders_ += "\r\n";
      return length;
    }
    long code = 0;
    curl_easy_getinfo(self->easy_, CURLINFO_RESPONSE_CODE, &code);
    bool interim = code >= 100 && code < 200;
    bool followed = !(self->flags_ & kHttpNoAutoRedirect) &&
                    (code == 301 || code == 302 || code == 303 || code == 307 || code == 308);
    if (interim || followed) {
      self->rawHeaders_.clear();
      return length;
    }
    self->rawHeaders_ += "\r\n";
    self->status_ = code;
    self->headersDone_ = true;
    return length;
  }

  static size_t OnBody(char* data, size_t size, size_t count, void* user) {
    auto* self = static_cast<CurlRequest*>(user);
    size_t length = size * count;
    if (self->body_.size() - self->bodyPos_ >= kMaxBufferedBody) return CURL_WRITEFUNC_PAUSE;
    if (self->bodyPos_ > 0) {
      self->body_.erase(0, self->bodyPos_);
      self->bodyPos_ = 0;
    }
    self->body_.append(data, length);
    self->moved_ += length;
    return length;
  }

  std::shared_ptr<const SessionSettings> settings_;
  std::string url_;
  std::string method_;
  long version_;
  HttpRequestFlags flags_;
  std::vector<Header> headers_;

  CURL* easy_ = nullptr;
  CURLM* multi_ = nullptr;
  curl_slist* headerList_ = nullptr;
  bool started_ = false;
  bool finished_ = false;
  bool failed_ = false;
  CURLcode result_ = CURLE_OK;
  uint64_t moved_ = 0;  // bytes that crossed in either direction, for the idle check

  uint64_t total_ = 0;
  uint64_t sent_ = 0;
  std::string_view pending_;
  size_t pendingPos_ = 0;
  bool readWanted_ = false;

  bool headersDone_ = false;
  long status_ = 0;
  std::string rawHeaders_;
  std::string body_;
  size_t bodyPos_ = 0;
};

class CurlConnection final : public HttpConnection {
 public:
  CurlConnection(std::shared_ptr<const SessionSettings> settings, std::string host, uint32_t port)
      : settings_(std::move(settings)), host_(std::move(host)), port_(port) {}

  std::unique_ptr<HttpRequest> OpenRequest(const HttpRequestLine& line) override {
    if (!IsToken(line.method)) return nullptr;
    long version = CURL_HTTP_VERSION_1_1;
    if (line.version == u"HTTP/1.0") {
      version = CURL_HTTP_VERSION_1_0;
    } else if (!line.version.empty() && line.version != u"HTTP/1.1") {
      return nullptr;
    }
    for (const Text& type : line.acceptTypes) {
      if (type.find_first_of(u"\r\n") != Text::npos) return nullptr;
    }
    std::string url = (line.flags & kHttpSecure) ? "https://" : "http://";
    url += host_ + ":" + std::to_string(port_);
    url += RequestTarget(line.path);
    return std::make_unique<CurlRequest>(settings_, std::move(url), ToUtf8(line.method), version,
                                         line);
  }

 private:
  std::shared_ptr<const SessionSettings> settings_;
  std::string host_;
  uint32_t port_;
};

class CurlSession final : public HttpSession {
 public:
  explicit CurlSession(std::shared_ptr<const SessionSettings> settings)
      : settings_(std::move(settings)) {}

  std::unique_ptr<HttpConnection> Connect(TextView host, uint32_t port) override {
    if (!IsUsableHost(host) || port == 0 || port > 65535) return nullptr;
    return std::make_unique<CurlConnection>(settings_, ToUtf8(host), port);
  }

 private:
  std::shared_ptr<const SessionSettings> settings_;
};

class CurlHttpClient final : public HttpClient {
 public:
  explicit CurlHttpClient(HttpTimeouts timeouts) : timeouts_(timeouts) { InitCurlOnce(); }

  std::unique_ptr<HttpSession> Open(TextView userAgent) override {
    if (userAgent.find_first_of(u"\r\n") != TextView::npos) return nullptr;
    auto settings = std::make_shared<SessionSettings>();
    settings->userAgent = ToUtf8(userAgent);
    settings->timeouts = timeouts_;
    return std::make_unique<CurlSession>(std::move(settings));
  }

 private:
  HttpTimeouts timeouts_;
};

}  // namespace

std::unique_ptr<HttpClient> CreateNativeHttpClient(HttpTimeouts timeouts) {
  return std::make_unique<CurlHttpClient>(timeouts);
}

}  // namespace qorva
