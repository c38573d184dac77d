// The HTTP client on WinINet: one internet handle per session, one connect handle per
// connection, one request handle per request, each closed when its object goes. The
// time-outs are set on the internet handle, from which the others inherit them; the
// receive and send time-outs bound every single wait, as the idle time-out asks.
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "platform/native_http_client.h"

namespace qorva {

namespace {

const wchar_t* Wide(const Text& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

// Owns one WinINet handle.
class InternetHandle {
 public:
  InternetHandle() = default;
  explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
  ~InternetHandle() {
    if (handle_) InternetCloseHandle(handle_);
  }
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;

  HINTERNET get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  HINTERNET handle_ = nullptr;
};

// The request target as WinINet takes it: "%" sequences stay as they are; controls and
// spaces, which the request line cannot carry (a line break would start a header of its
// own), are percent-encoded.
Text RequestTarget(const Text& path) {
  if (path.empty()) return u"/";
  Text out;
  for (char16_t unit : path) {
    if (unit > 0x20 && unit != 0x7F) {
      out.push_back(unit);
      continue;
    }
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    out.push_back(u'%');
    out.push_back(kHex[unit >> 4]);
    out.push_back(kHex[unit & 0x0F]);
  }
  return out;
}

DWORD WinInetFlags(HttpRequestFlags flags) {
  DWORD out = 0;
  if (flags & kHttpReload) out |= INTERNET_FLAG_RELOAD;
  if (flags & kHttpNoCacheWrite) out |= INTERNET_FLAG_NO_CACHE_WRITE;
  if (flags & kHttpKeepConnection) out |= INTERNET_FLAG_KEEP_CONNECTION;
  if (flags & kHttpNoAutoRedirect) out |= INTERNET_FLAG_NO_AUTO_REDIRECT;
  if (flags & kHttpFormsSubmit) out |= INTERNET_FLAG_FORMS_SUBMIT;
  if (flags & kHttpSecure) out |= INTERNET_FLAG_SECURE;
  return out;
}

// One header query as text; none when the value is missing. The first call learns
// the size the value needs.
std::optional<Text> QueryText(HINTERNET request, DWORD level) {
  std::vector<wchar_t> buffer(64);
  for (int attempt = 0; attempt < 2; ++attempt) {
    DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    DWORD index = 0;
    if (HttpQueryInfoW(request, level, buffer.data(), &bytes, &index)) {
      return Text(reinterpret_cast<const char16_t*>(buffer.data()), bytes / sizeof(wchar_t));
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
    buffer.assign(bytes / sizeof(wchar_t) + 1, L'\0');
  }
  return std::nullopt;
}

class WinInetRequest final : public HttpRequest {
 public:
  explicit WinInetRequest(HINTERNET handle) : handle_(handle) {}

  bool AddHeaders(TextView headers, HttpHeaderMode mode) override {
    if (headers.empty()) return true;
    if (headers.size() > 0x7FFFFFFF) return false;
    Text copy(headers);
    DWORD flags = HTTP_ADDREQ_FLAG_ADD;
    if (mode == HttpHeaderMode::kAddOrReplace) flags |= HTTP_ADDREQ_FLAG_REPLACE;
    return HttpAddRequestHeadersW(handle_.get(), Wide(copy), static_cast<DWORD>(copy.size()),
                                  flags) != FALSE;
  }

  bool Send(std::string_view body) override {
    if (body.size() > 0xFFFFFFFFu) return false;
    void* data = body.empty() ? nullptr : const_cast<char*>(body.data());
    if (!HttpSendRequestW(handle_.get(), nullptr, 0, data, static_cast<DWORD>(body.size()))) {
      return false;
    }
    headersArrived_ = true;
    return true;
  }

  bool BeginSend(uint64_t totalLength) override {
    // The announced length travels as a 32-bit count.
    if (totalLength > 0xFFFFFFFFu) return false;
    INTERNET_BUFFERSW buffers{};
    buffers.dwStructSize = sizeof buffers;
    buffers.dwBufferTotal = static_cast<DWORD>(totalLength);
    if (!HttpSendRequestExW(handle_.get(), &buffers, nullptr, 0, 0)) return false;
    total_ = totalLength;
    sending_ = true;
    return true;
  }

  bool Write(std::string_view bytes) override {
    if (!sending_ || bytes.size() > total_ - sent_) return false;
    while (!bytes.empty()) {
      DWORD piece = static_cast<DWORD>(std::min<size_t>(bytes.size(), 0x10000000));
      DWORD written = 0;
      if (!InternetWriteFile(handle_.get(), bytes.data(), piece, &written) || written == 0) {
        return false;
      }
      bytes.remove_prefix(written);
      sent_ += written;
    }
    return true;
  }

  bool EndSend() override {
    if (!sending_ || sent_ != total_) return false;
    sending_ = false;
    if (!HttpEndRequestW(handle_.get(), nullptr, 0, 0)) return false;
    headersArrived_ = true;
    return true;
  }

  std::optional<Text> StatusCode() override {
    if (!headersArrived_) return std::nullopt;
    std::optional<Text> status = QueryText(handle_.get(), HTTP_QUERY_STATUS_CODE);
    if (status && !status->empty() && status->back() == u'\0') status->pop_back();
    return status;
  }

  std::optional<Text> RawHeaders() override {
    if (!headersArrived_) return std::nullopt;
    std::optional<Text> raw = QueryText(handle_.get(), HTTP_QUERY_RAW_HEADERS_CRLF);
    if (raw && !raw->empty() && raw->back() == u'\0') raw->pop_back();
    return raw;
  }

  std::optional<size_t> Read(std::span<char> buffer) override {
    if (!headersArrived_) return std::nullopt;
    size_t filled = 0;
    while (filled < buffer.size()) {
      DWORD want = static_cast<DWORD>(std::min<size_t>(buffer.size() - filled, 0x10000000));
      DWORD got = 0;
      if (!InternetReadFile(handle_.get(), buffer.data() + filled, want, &got)) {
        return std::nullopt;
      }
      if (got == 0) break;
      filled += got;
    }
    return filled;
  }

 private:
  InternetHandle handle_;
  bool headersArrived_ = false;
  bool sending_ = false;
  uint64_t total_ = 0;
  uint64_t sent_ = 0;
};

class WinInetConnection final : public HttpConnection {
 public:
  explicit WinInetConnection(HINTERNET handle) : handle_(handle) {}

  std::unique_ptr<HttpRequest> OpenRequest(const HttpRequestLine& line) override {
    if (!line.version.empty() && line.version != u"HTTP/1.0" && line.version != u"HTTP/1.1") {
      return nullptr;
    }
    std::vector<const wchar_t*> accept;
    for (const Text& type : line.acceptTypes) accept.push_back(Wide(type));
    accept.push_back(nullptr);
    Text path = RequestTarget(line.path);
    HINTERNET request = HttpOpenRequestW(
        handle_.get(), Wide(line.method), Wide(path),
        line.version.empty() ? nullptr : Wide(line.version), nullptr,
        line.acceptTypes.empty() ? nullptr : accept.data(), WinInetFlags(line.flags), 0);
    if (!request) return nullptr;
    return std::make_unique<WinInetRequest>(request);
  }

 private:
  InternetHandle handle_;
};

class WinInetSession final : public HttpSession {
 public:
  explicit WinInetSession(HINTERNET handle) : handle_(handle) {}

  std::unique_ptr<HttpConnection> Connect(TextView host, uint32_t port) override {
    if (host.empty() || port == 0 || port > 65535) return nullptr;
    Text name(host);
    HINTERNET connection =
        InternetConnectW(handle_.get(), Wide(name), static_cast<INTERNET_PORT>(port), nullptr,
                         nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    if (!connection) return nullptr;
    return std::make_unique<WinInetConnection>(connection);
  }

 private:
  InternetHandle handle_;
};

class WinInetHttpClient final : public HttpClient {
 public:
  explicit WinInetHttpClient(HttpTimeouts timeouts) : timeouts_(timeouts) {}

  std::unique_ptr<HttpSession> Open(TextView userAgent) override {
    // The agent becomes a header line: a line break in it would add headers of its own.
    if (userAgent.find_first_of(u"\r\n") != TextView::npos) return nullptr;
    Text agent(userAgent);
    HINTERNET internet =
        InternetOpenW(Wide(agent), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!internet) return nullptr;
    auto session = std::make_unique<WinInetSession>(internet);
    DWORD connect = static_cast<DWORD>(timeouts_.connect.count());
    DWORD idle = static_cast<DWORD>(timeouts_.idle.count());
    bool ok =
        InternetSetOptionW(internet, INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof connect) &&
        InternetSetOptionW(internet, INTERNET_OPTION_SEND_TIMEOUT, &idle, sizeof idle) &&
        InternetSetOptionW(internet, INTERNET_OPTION_RECEIVE_TIMEOUT, &idle, sizeof idle);
    // Without its time-outs a session could wait without end: refuse it.
    if (!ok) return nullptr;
    return session;
  }

 private:
  HttpTimeouts timeouts_;
};

}  // namespace

std::unique_ptr<HttpClient> CreateNativeHttpClient(HttpTimeouts timeouts) {
  return std::make_unique<WinInetHttpClient>(timeouts);
}

}  // namespace qorva
