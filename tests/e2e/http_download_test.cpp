// The download against the Python peer (tests/e2e/servers/http_peer.py).
#include <gtest/gtest.h>

#include <chrono>

#include "e2e/local_server.h"
#include "platform/native_http_client.h"
#include "posix/posix_system.h"
#include "support/encoding.h"
#include "support/file_path.h"
#include "support/temp_dir_fixture.h"
#include "transfer/download.h"

namespace qorva {
namespace {

namespace fs = std::filesystem;

class HttpDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    peer_ = LocalServer::StartPeer({"http"}, error);
    ASSERT_TRUE(peer_) << error;
    http_ = CreateNativeHttpClient({std::chrono::seconds(3), std::chrono::seconds(1)});
  }

  bool Download(const std::string& requestPath, Text& localPath, uint16_t port = 0) {
    std::string server = "http://127.0.0.1:" + std::to_string(port ? port : peer_->port()) + "/";
    return DownloadToFile(*http_, system_, FromUtf8(server), FromUtf8(requestPath), localPath);
  }

  Text WorkingFolder() const { return TextFromPath(temp_.path() / "qorvaTemp") + u"/"; }

  ScopedTemporaryDirectory temp_;
  std::unique_ptr<LocalServer> peer_;
  std::unique_ptr<HttpClient> http_;
  PosixSystem system_;
};

TEST_F(HttpDownloadTest, ErrorStatusesCreateNoFile) {
  for (const char* status : {"404", "401", "500"}) {
    fs::path file = temp_.path() / "error.png";
    Text local = TextFromPath(file);
    EXPECT_FALSE(Download(std::string("/status/") + status, local)) << status;
    EXPECT_FALSE(fs::exists(file)) << status;
    Text placeholder = u"?.jpg";
    EXPECT_FALSE(Download(std::string("/status/") + status, placeholder)) << status;
  }
  EXPECT_FALSE(fs::exists(PathFromText(WorkingFolder())));
}

TEST_F(HttpDownloadTest, ContentTypesNameTheFallbackFile) {
  struct Case {
    const char* query;
    const char* ext;
  } cases[] = {
      {"?type=image/png", "png"},
      {"?type=image/png%3B%20charset%3Dutf-8", "jpg"},  // the whole value is compared
      {"?type=IMAGE/GIF", "gif"},
      {"?type=image/jpeg", "jpg"},
      {"", "jpg"},  // no content type at all
  };
  for (const Case& c : cases) {
    Text local = WorkingFolder() + u"?.jpg";
    ASSERT_TRUE(Download(std::string("/typed") + c.query, local)) << c.query;
    std::string name = ToUtf8(local.substr(WorkingFolder().size()));
    EXPECT_EQ(name.size(), 33 + std::string(c.ext).size()) << name;
    EXPECT_TRUE(name.ends_with(std::string(".") + c.ext)) << c.query << ": " << name;
    EXPECT_EQ(ScopedTemporaryDirectory::ReadBytes(PathFromText(local)), "typed body");
  }
}

TEST_F(HttpDownloadTest, ALargeBodyArrivesComplete) {
  fs::path file = temp_.path() / "big.bin";
  Text local = TextFromPath(file);
  ASSERT_TRUE(Download("/big?size=250001", local));
  EXPECT_EQ(local, TextFromPath(file));
  std::string bytes = ScopedTemporaryDirectory::ReadBytes(file);
  ASSERT_EQ(bytes.size(), 250001u);
  for (size_t i = 0; i < bytes.size(); ++i) {
    ASSERT_EQ(static_cast<unsigned char>(bytes[i]), (i * 7) % 251) << "byte " << i;
  }
}

TEST_F(HttpDownloadTest, CutAndSilentAnswersFailInTime) {
  std::string error;
  auto silent = LocalServer::StartPeer({"silent"}, error);
  ASSERT_TRUE(silent) << error;
  auto start = std::chrono::steady_clock::now();
  Text local = TextFromPath(temp_.path() / "never.png");
  EXPECT_FALSE(Download("/x.png", local, silent->port()));
  EXPECT_FALSE(fs::exists(temp_.path() / "never.png"));

  Text cut = TextFromPath(temp_.path() / "cut.png");
  EXPECT_FALSE(Download("/short", cut));
  Text stalled = TextFromPath(temp_.path() / "stalled.png");
  EXPECT_FALSE(Download("/stall", stalled));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));

  Text refused = TextFromPath(temp_.path() / "refused.png");
  const uint16_t refusedPort = UnusedPort();
  ASSERT_NE(refusedPort, 0);
  EXPECT_FALSE(Download("/x.png", refused, refusedPort));
}

}  // namespace
}  // namespace qorva
