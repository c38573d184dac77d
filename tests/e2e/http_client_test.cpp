// The native HTTP client against the Python peer: what goes on the wire, what comes
// back, and that no call outlives its time-outs.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "e2e/local_server.h"
#include "platform/native_http_client.h"
#include "support/encoding.h"

namespace qorva {
namespace {

using Clock = std::chrono::steady_clock;

constexpr HttpTimeouts kShortTimeouts{std::chrono::milliseconds(3000),
                                      std::chrono::milliseconds(1000)};

std::string Pattern(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7) % 251);
  return bytes;
}

class HttpClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    peer_ = LocalServer::StartPeer({"http"}, error);
    ASSERT_TRUE(peer_) << error;
    client_ = CreateNativeHttpClient(kShortTimeouts);
  }

  // One request on a fresh session and connection, kept for the test to drive.
  HttpRequest* Open(const HttpRequestLine& line, uint16_t port = 0) {
    session_ = client_->Open(u"qorva-test-agent");
    if (!session_) return nullptr;
    connection_ = session_->Connect(u"127.0.0.1", port ? port : peer_->port());
    if (!connection_) return nullptr;
    request_ = connection_->OpenRequest(line);
    return request_.get();
  }

  // The whole body, read in blocks of `block` bytes; none when a read fails.
  static std::optional<std::string> ReadAll(HttpRequest& request, size_t block) {
    std::string all;
    std::vector<char> buffer(block);
    while (true) {
      std::optional<size_t> got = request.Read(buffer);
      if (!got) return std::nullopt;
      if (*got == 0) return all;
      all.append(buffer.data(), *got);
    }
  }

  std::unique_ptr<LocalServer> peer_;
  std::unique_ptr<HttpClient> client_;
  std::unique_ptr<HttpSession> session_;
  std::unique_ptr<HttpConnection> connection_;
  std::unique_ptr<HttpRequest> request_;
};

TEST_F(HttpClientTest, TheRequestTargetGoesOutLiterally) {
  struct Case {
    const char16_t* path;
    const char* sent;
  } cases[] = {
      {u"/echo/a%2Fb%zz%?q=%41&r=%%", "/echo/a%2Fb%zz%?q=%41&r=%%"},
      {u"/echo/x/../y/./z", "/echo/x/../y/./z"},
      {u"/echo/a b\r\nX-Injected: 1", "/echo/a%20b%0D%0AX-Injected:%201"},
      {u"/echo/\ud55c#frag", "/echo/%ED%95%9C%23frag"},
  };
  for (const Case& c : cases) {
    HttpRequest* request = Open({u"GET", c.path, u"", {}, kHttpNoAutoRedirect});
    ASSERT_TRUE(request) << c.sent;
    ASSERT_TRUE(request->Send({})) << c.sent;
    std::optional<std::string> body = ReadAll(*request, 4096);
    ASSERT_TRUE(body) << c.sent;
    EXPECT_EQ(body->substr(0, body->find('\n')), "LINE GET " + std::string(c.sent) + " HTTP/1.1");
    EXPECT_EQ(body->find("\nH X-Injected"), std::string::npos) << c.sent;
  }
}

TEST_F(HttpClientTest, VersionHeadersAndABodyInPieces) {
  HttpRequest* request =
      Open({u"POST", u"/echo", u"HTTP/1.0", {u"*/*"}, kHttpReload | kHttpNoAutoRedirect});
  ASSERT_TRUE(request);
  ASSERT_TRUE(
      request->AddHeaders(u"Accept: image/png\r\nX-One: 1\r\n\r\n", HttpHeaderMode::kAddOrReplace));
  ASSERT_TRUE(request->AddHeaders(u"X-One: 2\r\n", HttpHeaderMode::kAdd));
  EXPECT_FALSE(request->AddHeaders(u"no colon here\r\n", HttpHeaderMode::kAdd));
  EXPECT_FALSE(request->AddHeaders(u"Bad Name: x\r\n", HttpHeaderMode::kAdd));

  std::string body = Pattern(300000);
  ASSERT_TRUE(request->BeginSend(body.size()));
  for (size_t at = 0; at < body.size(); at += 102400) {
    ASSERT_TRUE(request->Write(std::string_view(body).substr(at, 102400)));
  }
  EXPECT_FALSE(request->Write("x")) << "a byte more than announced";
  ASSERT_TRUE(request->EndSend());
  EXPECT_EQ(request->StatusCode(), u"200");

  std::optional<std::string> echoed = ReadAll(*request, 102400);
  ASSERT_TRUE(echoed);
  std::string head = echoed->substr(0, echoed->find("BODY "));
  EXPECT_EQ(head.substr(0, head.find('\n')), "LINE POST /echo HTTP/1.0");
  EXPECT_NE(head.find("\nH User-Agent: qorva-test-agent\n"), std::string::npos) << head;
  EXPECT_NE(head.find("\nH Accept: image/png\n"), std::string::npos) << head;
  EXPECT_EQ(head.find("*/*"), std::string::npos) << "the accepted types were replaced\n" << head;
  EXPECT_NE(head.find("\nH X-One: 1\nH X-One: 2\n"), std::string::npos) << head;
  EXPECT_EQ(head.find("Expect"), std::string::npos) << head;
  EXPECT_EQ(head.find("Content-Type"), std::string::npos) << "none was given\n" << head;
  EXPECT_EQ(echoed->substr(echoed->find("BODY ")), "BODY 300000\n" + body);
}

TEST_F(HttpClientTest, WithoutAcceptTypesNoAcceptHeaderGoesOut) {
  HttpRequest* request = Open({u"GET", u"/echo", u"", {}, kHttpNoAutoRedirect});
  ASSERT_TRUE(request);
  ASSERT_TRUE(request->Send({}));
  std::optional<std::string> echoed = ReadAll(*request, 4096);
  ASSERT_TRUE(echoed);
  EXPECT_EQ(echoed->find("Accept"), std::string::npos) << *echoed;
}

TEST_F(HttpClientTest, EndingBeforeTheAnnouncedLengthFails) {
  HttpRequest* request = Open({u"POST", u"/echo", u"HTTP/1.0", {}, kHttpNoAutoRedirect});
  ASSERT_TRUE(request);
  ASSERT_TRUE(request->BeginSend(100));
  ASSERT_TRUE(request->Write("only ten b"));
  EXPECT_FALSE(request->EndSend());
  EXPECT_EQ(request->StatusCode(), std::nullopt);
}

TEST_F(HttpClientTest, RedirectsAreFollowedOnlyWhenAllowed) {
  HttpRequest* request = Open({u"GET", u"/redirect", u"", {}, kHttpNoAutoRedirect});
  ASSERT_TRUE(request && request->Send({}));
  EXPECT_EQ(request->StatusCode(), u"302");
  std::optional<Text> raw = request->RawHeaders();
  ASSERT_TRUE(raw);
  EXPECT_TRUE(raw->starts_with(u"HTTP/1.0 302 Found\r\n")) << ToUtf8(*raw);
  EXPECT_NE(raw->find(u"\r\nLocation: /echo/redirected\r\n"), Text::npos) << ToUtf8(*raw);
  EXPECT_TRUE(raw->ends_with(u"\r\n\r\n")) << ToUtf8(*raw);
  EXPECT_EQ(ReadAll(*request, 100), "moved");

  request = Open({u"GET", u"/redirect", u"", {}, 0});
  ASSERT_TRUE(request && request->Send({}));
  EXPECT_EQ(request->StatusCode(), u"200");
  std::optional<std::string> body = ReadAll(*request, 4096);
  ASSERT_TRUE(body);
  EXPECT_TRUE(body->starts_with("LINE GET /echo/redirected ")) << *body;
}

TEST_F(HttpClientTest, ReadsFillTheirBlockUntilTheBodyEnds) {
  HttpRequest* request = Open({u"GET", u"/big?size=300000", u"", {}, kHttpNoAutoRedirect});
  ASSERT_TRUE(request && request->Send({}));
  std::vector<char> buffer(102400);
  std::string all;
  std::vector<size_t> sizes;
  while (true) {
    std::optional<size_t> got = request->Read(buffer);
    ASSERT_TRUE(got);
    sizes.push_back(*got);
    if (*got == 0) break;
    all.append(buffer.data(), *got);
  }
  EXPECT_EQ(sizes, (std::vector<size_t>{102400, 102400, 95200, 0}));
  EXPECT_TRUE(all == Pattern(300000));
}

TEST_F(HttpClientTest, ABodyCutShortIsAFailedRead) {
  HttpRequest* request = Open({u"GET", u"/short", u"", {}, kHttpNoAutoRedirect});
  ASSERT_TRUE(request && request->Send({}));
  EXPECT_EQ(request->StatusCode(), u"200");
  EXPECT_EQ(ReadAll(*request, 102400), std::nullopt);
}

TEST_F(HttpClientTest, NoCallOutlivesTheIdleTimeOut) {
  std::string error;
  auto silent = LocalServer::StartPeer({"silent"}, error);
  ASSERT_TRUE(silent) << error;

  Clock::time_point start = Clock::now();
  HttpRequest* request = Open({u"GET", u"/", u"", {}, kHttpNoAutoRedirect}, silent->port());
  ASSERT_TRUE(request);
  EXPECT_FALSE(request->Send({}));
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));

  start = Clock::now();
  request = Open({u"POST", u"/", u"HTTP/1.0", {}, kHttpNoAutoRedirect}, silent->port());
  ASSERT_TRUE(request);
  // The peer reads nothing, so the body backs up until nothing moves any more.
  std::string block(1 << 20, 'x');
  bool failed = !request->BeginSend(64ull << 20);
  for (int i = 0; i < 64 && !failed; ++i) failed = !request->Write(block);
  EXPECT_TRUE(failed || !request->EndSend());
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));

  start = Clock::now();
  request = Open({u"GET", u"/stall", u"", {}, kHttpNoAutoRedirect});
  ASSERT_TRUE(request && request->Send({}));
  EXPECT_EQ(ReadAll(*request, 102400), std::nullopt);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
}

TEST_F(HttpClientTest, RefusedConnectionsAndUnusableHostsFail) {
  const uint16_t refusedPort = UnusedPort();
  ASSERT_NE(refusedPort, 0);
  HttpRequest* request = Open({u"GET", u"/", u"", {}, 0}, refusedPort);
  ASSERT_TRUE(request);
  EXPECT_FALSE(request->Send({}));

  auto session = client_->Open(u"agent");
  ASSERT_TRUE(session);
  for (const char16_t* host : {u"", u"user@127.0.0.1", u"127.0.0.1/x", u"a b", u"h?q"}) {
    EXPECT_EQ(session->Connect(host, 80), nullptr) << ToUtf8(host);
  }
  EXPECT_EQ(session->Connect(u"127.0.0.1", 0), nullptr);
  EXPECT_EQ(session->Connect(u"127.0.0.1", 65536), nullptr);
  EXPECT_EQ(client_->Open(u"agent\r\nX-Injected: 1"), nullptr);

  auto connection = session->Connect(u"127.0.0.1", peer_->port());
  ASSERT_TRUE(connection);
  EXPECT_EQ(connection->OpenRequest({u"GET", u"/", u"HTTP/2", {}, 0}), nullptr);
  EXPECT_EQ(connection->OpenRequest({u"GE T", u"/", u"", {}, 0}), nullptr);
}

TEST_F(HttpClientTest, TheSecureFlagSpeaksTls) {
  std::filesystem::path record =
      std::filesystem::temp_directory_path() / ("qorva_tls_sniff_" + std::to_string(getpid()));
  std::filesystem::remove(record);
  std::string error;
  auto sniffer = LocalServer::StartPeer({"sniff", record.string()}, error);
  ASSERT_TRUE(sniffer) << error;

  HttpRequest* request = Open({u"GET", u"/", u"", {}, kHttpSecure}, sniffer->port());
  ASSERT_TRUE(request);
  EXPECT_FALSE(request->Send({})) << "the peer speaks no TLS";
  std::ifstream in(record);
  std::string first;
  in >> first;
  // A TLS handshake record: content type 22, protocol major version 3.
  EXPECT_TRUE(first.starts_with("1603")) << first;
  std::filesystem::remove(record);
}

}  // namespace
}  // namespace qorva
