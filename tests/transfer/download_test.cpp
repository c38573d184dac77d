#include "transfer/download.h"

#include <gtest/gtest.h>

#include "support/file_path.h"
#include "support/temp_dir_fixture.h"
#include "support/working_folder.h"
#include "transfer/transfer_scene.h"
#include "transfer/upload.h"

namespace qorva {
namespace {

using FailAt = MemoryHttpClient::FailAt;
namespace fs = std::filesystem;

TEST(ContentTypeFromHeaders, TheFirstTypeLineAfterTheStatusLine) {
  struct Case {
    const char* name;
    const char16_t* headers;
    const char16_t* type;
  } cases[] = {
      {"plain", u"HTTP/1.1 200 OK\r\nContent-Type:  Image/PNG \r\n\r\n", u"image/png"},
      {"line feeds only", u"HTTP/1.1 200 OK\nServer: x\ncontent-type: image/gif\n", u"image/gif"},
      {"with parameters", u"HTTP/1.1 200 OK\r\nContent-Type: image/png; charset=utf-8\r\n",
       u"image/png; charset=utf-8"},
      {"first one wins", u"HTTP/1.1 200 OK\r\nContent-Type: image/bmp\r\nContent-Type: a/b\r\n",
       u"image/bmp"},
      {"the status line is skipped", u"content-type: image/gif\r\nX: y\r\n", u""},
      {"none", u"HTTP/1.1 200 OK\r\nServer: x\r\n\r\n", u""},
      {"empty", u"", u""},
      {"a file name first",
       u"HTTP/1.1 200 OK\r\nContent-Disposition: attachment; filename=a.png\r\n"
       u"Content-Type: image/png\r\n",
       u"image/png"},
      {"two file names end the search",
       u"HTTP/1.1 200 OK\r\nContent-Disposition: inline; filename=a\r\n"
       u"Content-Disposition: inline; filename=b\r\nContent-Type: image/png\r\n",
       u""},
      {"a longer name holding it", u"HTTP/1.1 200\r\nX-Content-Type: image/gif\r\n", u"image/gif"},
  };
  for (const Case& c : cases) EXPECT_EQ(ContentTypeFromHeaders(c.headers), c.type) << c.name;
}

class DownloadTest : public TransferTest {
 protected:
  bool Download(TextView serverUrl, TextView requestPath, Text& localPath) {
    bool ok = DownloadToFile(http_, system_, serverUrl, requestPath, localPath);
    EXPECT_EQ(http_.OpenHandleCount(), 0) << "a handle stayed open";
    return ok;
  }

  static MemoryHttpClient::Response Answer(const char16_t* status, std::string body,
                                           const char16_t* contentType = nullptr) {
    MemoryHttpClient::Response response{status, {}, std::move(body)};
    if (contentType) {
      response.rawHeaders =
          u"HTTP/1.1 " + Text(status) + u" X\r\nContent-Type: " + Text(contentType) + u"\r\n\r\n";
    }
    return response;
  }

  Text WorkingFolder() const { return TextFromPath(temp_.path() / "qorvaTemp") + u"/"; }

  ScopedTemporaryDirectory temp_;
};

TEST_F(DownloadTest, TheRequestAsSent) {
  struct Case {
    const char16_t* server;
    const char16_t* host;
    uint32_t port;
    HttpRequestFlags flags;
  } cases[] = {
      {u"http://host:8081/ignored/path", u"host", 8081,
       kHttpReload | kHttpNoCacheWrite | kHttpNoAutoRedirect},
      {u"https://host/", u"host", 443,
       kHttpReload | kHttpNoCacheWrite | kHttpKeepConnection | kHttpNoAutoRedirect |
           kHttpFormsSubmit | kHttpSecure},
  };
  for (const Case& c : cases) {
    Text local = ScratchText("a.png");
    ASSERT_TRUE(Download(c.server, u"/img/a%20b%zz.png", local)) << ToUtf8(c.server);
    const auto& ex = http_.exchanges().back();
    EXPECT_TRUE(ex.userAgent.starts_with(u"qorvaeditor"));
    EXPECT_EQ(ex.host, c.host);
    EXPECT_EQ(ex.port, c.port);
    EXPECT_EQ(ex.line.method, u"GET");
    EXPECT_EQ(ex.line.path, u"/img/a%20b%zz.png");
    EXPECT_EQ(ex.line.version, u"");
    EXPECT_TRUE(ex.line.acceptTypes.empty());
    EXPECT_EQ(ex.line.flags, c.flags) << ToUtf8(c.server);
    ASSERT_EQ(ex.headers.size(), 1u);
    EXPECT_EQ(ex.headers[0].first, u"Accept: */*\r\n\r\n");
    EXPECT_EQ(ex.body, "");
  }
}

TEST_F(DownloadTest, TheBodyReplacesTheProposedFile) {
  fs::path file = Scratch("skin/i_bg.png");
  WriteBytes(file, "an older and longer picture");
  std::string body = PatternBytes(2 * kTransferBlockSize + 3);
  http_.QueueResponse(Answer(u"200", body, u"text/html"));
  Text local = TextFromPath(file);
  Text proposed = local;
  ASSERT_TRUE(Download(u"http://h/", u"/x", local));
  EXPECT_EQ(local, proposed);
  EXPECT_TRUE(ReadBytes(file) == body) << "the body arrives complete, block by block";
}

TEST_F(DownloadTest, StatusDecidesBeforeAnyFileExists) {
  struct Case {
    const char16_t* status;  // none: unreadable
    bool ok;
  } cases[] = {
      {u"200", true},  {u"204", true},  {u"302", true},  {nullptr, true}, {u"400", false},
      {u"401", false}, {u"403", false}, {u"404", false}, {u"500", false}, {u"503", false},
  };
  for (const Case& c : cases) {
    fs::path file = Scratch("status.png");
    fs::remove(file);
    MemoryHttpClient::Response response{std::nullopt, u"HTTP/1.1\r\n\r\n", "page"};
    if (c.status) response.status = Text(c.status);
    http_.QueueResponse(response);
    Text local = TextFromPath(file);
    std::string name = c.status ? ToUtf8(c.status) : "unreadable";
    EXPECT_EQ(Download(u"http://h/", u"/x", local), c.ok) << name;
    EXPECT_EQ(fs::exists(file), c.ok) << name;
  }
  EXPECT_FALSE(fs::exists(WorkingFolder())) << "a failed download made no file of its own";
}

TEST_F(DownloadTest, PlaceholderAndUncreatableNamesAreNamedFromTheResponse) {
  struct Case {
    const char* name;
    Text proposed;
    const char16_t* contentType;
    const char16_t* ext;
  } cases[] = {
      {"placeholder", WorkingFolder() + u"?.jpg", u"image/png", u"png"},
      {"type with parameters", WorkingFolder() + u"?.jpg", u"image/png; charset=utf-8", u"jpg"},
      {"no type", WorkingFolder() + u"?.jpg", nullptr, u"jpg"},
      {"refused character in the extension", ScratchText("a.p*g"), u"image/gif", u"gif"},
      {"missing folder", ScratchText("no/such/folder/a.png"), u"image/bmp", u"bmp"},
      {"empty", u"", u"image/tiff", u"tiff"},
  };
  for (const Case& c : cases) {
    http_.QueueResponse(Answer(u"200", "picture", c.contentType));
    Text local = c.proposed;
    ASSERT_TRUE(Download(u"http://h/", u"/x", local)) << c.name;
    ASSERT_TRUE(local.starts_with(WorkingFolder())) << c.name << ": " << ToUtf8(local);
    Text name = local.substr(WorkingFolder().size());
    EXPECT_EQ(name.size(), 32u + 1 + Text(c.ext).size()) << c.name;
    EXPECT_EQ(name.substr(name.find(u'.') + 1), c.ext) << c.name;
    EXPECT_EQ(ReadBytes(PathFromText(local)), "picture") << c.name;
  }
  EXPECT_FALSE(fs::exists(PathFromText(WorkingFolder() + u"?.jpg")));
}

TEST_F(DownloadTest, AReadOnlyFileUnderTheNewNameGivesWay) {
  system_.fixedGuid = Guid{0x01234567, 0x89ab, 0xcdef, {0, 1, 2, 3, 4, 5, 6, 7}};
  Text expected = WorkingFolder() + u"0123456789abcdef0001020304050607.png";
  fs::create_directories(PathFromText(WorkingFolder()));
  WriteBytes(PathFromText(expected), "stale");
  fs::permissions(PathFromText(expected), fs::perms::owner_read);
  http_.QueueResponse(Answer(u"200", "fresh", u"image/png"));
  Text local = u"?.jpg";
  ASSERT_TRUE(Download(u"http://h/", u"/x", local));
  EXPECT_EQ(local, expected);
  EXPECT_EQ(ReadBytes(PathFromText(expected)), "fresh");
}

TEST_F(DownloadTest, FailuresOnTheWay) {
  struct Case {
    const char* name;
    FailAt at;
    uint64_t after;
    bool fileMade;
  } cases[] = {
      {"internet handle", FailAt::kOpen, 0, false},
      {"connection", FailAt::kConnect, 0, false},
      {"request", FailAt::kOpenRequest, 0, false},
      {"header", FailAt::kAddHeaders, 0, false},
      {"send", FailAt::kSend, 0, false},
      {"a read in the middle of the body", FailAt::kRead, 150000, true},
  };
  for (const Case& c : cases) {
    fs::path file = Scratch("fail.png");
    fs::remove(file);
    MemoryHttpClient::Response response = Answer(u"200", PatternBytes(300000));
    response.failAt = c.at;
    response.failAfter = c.after;
    http_.QueueResponse(response);
    Text local = TextFromPath(file);
    EXPECT_FALSE(Download(u"http://h/", u"/x", local)) << c.name;
    EXPECT_EQ(fs::exists(file), c.fileMade) << c.name;
  }
  Text noHost = ScratchText("x.png");
  EXPECT_FALSE(Download(u"http://nohost", u"/x", noHost));
}

TEST_F(DownloadTest, ABlockThatCannotBeWrittenFails) {
  http_.QueueResponse(Answer(u"200", PatternBytes(1000)));
  Text full = u"/dev/full";  // accepts the open, refuses every write
  EXPECT_FALSE(Download(u"http://h/", u"/x", full));
  EXPECT_EQ(full, u"/dev/full");
}

}  // namespace
}  // namespace qorva
