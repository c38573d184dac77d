#include "transfer/upload.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "transfer/transfer_scene.h"

namespace qorva {
namespace {

using FailAt = MemoryHttpClient::FailAt;

TEST(UrlCracking, HostAndPort) {
  struct Case {
    const char16_t* url;
    const char16_t* host;
    uint32_t port;
  } cases[] = {
      {u"http://server:8080/upload/save.aspx", u"server", 8080},
      {u"https://server/x", u"server", 443},
      {u"HTTPS://server/x", u"server", 443},
      {u"https://server:8443/x", u"server", 8443},
      {u"http://server/x", u"server", 80},
      {u"http://server", u"", 80},           // no "/" after the host: no host
      {u"server/upload.php", u"", 80},       // no "//" at all
      {u"http:", u"", 80},                   // the only ":" is the last character
      {u"http://server:/x", u"server", 80},  // a port without digits
      {u"http://server:", u"", 80},          // ... also at the very end
      {u"http://server:0/x", u"server", 80},
      {u"http://server:81x/y", u"server", 81},
      {u"http://server:99999999999999/x", u"server", 65536},
      // "https" outside the scheme does not make the default port 443.
      {u"http://https.example/x", u"https.example", 80},
      {u"http://server/https/save.php", u"server", 80},
  };
  for (const Case& c : cases) {
    std::string name = ToUtf8(c.url);
    EXPECT_EQ(UrlHostName(c.url), c.host) << name;
    EXPECT_EQ(UrlPort(c.url), c.port) << name;
  }
}

class UploadTest : public TransferTest {
 protected:
  // A file under the scratch folder and the path as the control would pass it.
  Text MakeFile(const std::string& name, const std::string& bytes) {
    WriteBytes(Scratch(name), bytes);
    return ScratchText(name);
  }

  std::optional<Text> Upload(TextView url, TextView path) {
    std::optional<Text> response = UploadFile(http_, system_, url, form_, path);
    EXPECT_EQ(http_.OpenHandleCount(), 0) << "a handle stayed open";
    return response;
  }

  UploadForm form_;
};

std::string Field(const std::string& name, const std::string& value) {
  return "------00001a2bdeadbeef\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" +
         value + "\r\n";
}

TEST_F(UploadTest, TheRequestCarriesTheFormInItsOrder) {
  form_ = {u"plugin", u"example.org", u"qorvadata", u"YYYY/MM", u"DATETIME"};
  Text path = MakeFile("img/\xed\x95\x9c a.png", std::string("PNG\0\r\n--", 8));
  std::string pathUtf8 = ToUtf8(path);
  uint64_t before = CurrentUnixSeconds();

  std::optional<Text> response = Upload(u"http://server:8080/upload/save.aspx?a=%41%zz", path);

  ASSERT_TRUE(response);
  ASSERT_EQ(http_.exchanges().size(), 1u);
  const MemoryHttpClient::Exchange& ex = http_.exchanges()[0];
  EXPECT_EQ(ex.host, u"server");
  EXPECT_EQ(ex.port, 8080u);
  EXPECT_EQ(ex.line.method, u"POST");
  EXPECT_EQ(ex.line.path, u"/upload/save.aspx?a=%41%zz");
  EXPECT_EQ(ex.line.version, u"HTTP/1.0");
  EXPECT_EQ(ex.line.acceptTypes, std::vector<Text>{u"*/*"});
  EXPECT_EQ(ex.line.flags, kHttpReload | kHttpNoCacheWrite | kHttpKeepConnection |
                               kHttpNoAutoRedirect | kHttpFormsSubmit);

  std::smatch agent;
  std::string userAgent = ToUtf8(ex.userAgent);
  ASSERT_TRUE(std::regex_match(userAgent, agent, std::regex("qorvaeditor([0-9a-f]{1,8})")))
      << userAgent;
  uint64_t stamped = std::strtoull(agent[1].str().c_str(), nullptr, 16);
  EXPECT_GE(stamped, before & 0xFFFFFFFFu);
  EXPECT_LE(stamped, (CurrentUnixSeconds() & 0xFFFFFFFFu));

  ASSERT_EQ(ex.headers.size(), 2u);
  EXPECT_EQ(ex.headers[0].first, u"Accept: */*\r\n");
  EXPECT_EQ(ex.headers[0].second, HttpHeaderMode::kAddOrReplace);
  EXPECT_EQ(ex.headers[1].first,
            u"Content-Type: multipart/form-data; boundary=----00001a2bdeadbeef\r\n");
  EXPECT_EQ(ex.headers[1].second, HttpHeaderMode::kAdd);

  std::string expected = Field("uploadtype", "plugin") + Field("savefileext", "png") +
                         Field("serverdomain", "example.org") +
                         Field("tosavepathurl", "qorvadata") +
                         Field("savafoldernamerule", "YYYY/MM") +
                         Field("savafilenamerule", "DATETIME") + Field("filename1", pathUtf8) +
                         "------00001a2bdeadbeef\r\nContent-Disposition: form-data; "
                         "name=\"file1\"; filename=\"\xed\x95\x9c a.png\"\r\n"
                         "Content-Type: application/octet-stream\r\n\r\n" +
                         std::string("PNG\0\r\n--", 8) + "\r\n------00001a2bdeadbeef--\r\n";
  EXPECT_EQ(ex.body, expected);
  EXPECT_EQ(ex.announcedLength, expected.size());
  EXPECT_TRUE(ex.sent);
}

TEST_F(UploadTest, NamesComeFromTheLastSeparatorAndTheLastDot) {
  struct Case {
    std::string file;  // under the scratch folder
    std::string ext;
    std::string name;
  } cases[] = {
      {"v1.2/photo", "2/photo", "photo"},  // the last "." may sit in a folder name
      {"plain", "", "plain"},
      {"mixed\\sep.jpeg", "jpeg", "sep.jpeg"},  // a "\" in a Linux name still cuts
  };
  for (const Case& c : cases) {
    Text path = MakeFile(c.file, "x");
    ASSERT_TRUE(Upload(u"http://h/u", path)) << c.file;
    const std::string& body = http_.exchanges().back().body;
    EXPECT_NE(body.find(Field("savefileext", c.ext)), std::string::npos) << c.file;
    EXPECT_NE(body.find("name=\"file1\"; filename=\"" + c.name + "\""), std::string::npos)
        << c.file;
  }
}

TEST_F(UploadTest, SecureUrlsAddTheSecureFlag) {
  Text path = MakeFile("a.png", "x");
  ASSERT_TRUE(Upload(u"https://server/x", path));
  const auto& ex = http_.exchanges()[0];
  EXPECT_EQ(ex.port, 443u);
  EXPECT_TRUE(ex.line.flags & kHttpSecure);
  EXPECT_EQ(ex.line.path, u"/x");

  ASSERT_TRUE(Upload(u"http://server/https/x", path));
  EXPECT_FALSE(http_.exchanges()[1].line.flags & kHttpSecure);
  EXPECT_EQ(http_.exchanges()[1].port, 80u);
}

TEST_F(UploadTest, TheFileGoesInBlocksOfTheTransferSize) {
  std::string bytes = PatternBytes(2 * kTransferBlockSize + 45200);
  Text path = MakeFile("big.bin", bytes);
  ASSERT_TRUE(Upload(u"http://h/u", path));
  const auto& ex = http_.exchanges()[0];
  EXPECT_EQ(ex.writeCalls, 5u);  // the head, three blocks, the closing text
  EXPECT_NE(ex.body.find(bytes), std::string::npos);
}

TEST_F(UploadTest, ResponsesByStatus) {
  Text path = MakeFile("a.png", "x");
  std::string longBody = PatternBytes(kTransferBlockSize + 10);
  for (char& c : longBody) c = static_cast<char>('a' + static_cast<unsigned char>(c) % 26);
  struct Case {
    const char* name;
    MemoryHttpClient::Response response;
    std::optional<Text> expected;
  } cases[] = {
      {"200 with a body", {u"200", {}, "http://img/a.png"}, u"http://img/a.png"},
      {"200 empty", {u"200", {}, ""}, u""},
      {"399 still succeeds", {u"399", {}, "ok"}, u"ok"},
      {"400 fails", {u"400", {}, "bad"}, std::nullopt},
      {"500 fails", {u"500", {}, "error"}, std::nullopt},
      {"no status", {std::nullopt, {}, "ignored"}, u""},
      {"only the first block", {u"200", {}, longBody}, FromUtf8(longBody.substr(0, 102400))},
      {"ANSI answer", {u"200", {}, "\xc7\xd1\xb1\xdb"}, u"\ud55c\uae00"},
      {"read failure", {u"200", {}, "lost", FailAt::kRead}, u""},
  };
  for (auto& c : cases) {
    http_.QueueResponse(c.response);
    EXPECT_EQ(Upload(u"http://h/u", path), c.expected) << c.name;
  }
}

TEST_F(UploadTest, EveryFailingStepFailsTheUpload) {
  Text path = MakeFile("a.png", PatternBytes(300000));
  struct Case {
    const char* name;
    FailAt at;
    uint64_t after;
  } cases[] = {
      {"internet handle", FailAt::kOpen, 0},
      {"connection", FailAt::kConnect, 0},
      {"request", FailAt::kOpenRequest, 0},
      {"headers", FailAt::kAddHeaders, 0},
      {"start", FailAt::kSend, 0},
      {"first write", FailAt::kWrite, 0},
      {"a file block", FailAt::kWrite, 150000},
      {"closing text", FailAt::kWrite, 300500},
      {"end of request", FailAt::kEndSend, 0},
  };
  for (const Case& c : cases) {
    MemoryHttpClient::Response response;
    response.failAt = c.at;
    response.failAfter = c.after;
    http_.QueueResponse(response);
    EXPECT_EQ(Upload(u"http://h/u", path), std::nullopt) << c.name;
  }
  EXPECT_EQ(Upload(u"http://h/u", Text(path) + u".missing"), std::nullopt);
  EXPECT_EQ(Upload(u"http://h/u", ScratchText("")), std::nullopt) << "a folder";
  EXPECT_EQ(Upload(u"http://nohost", path), std::nullopt) << "no host";
}

TEST_F(UploadTest, APathWithoutSeparatorIsRefused) {
  std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(folder_);
  WriteBytes(folder_ / "here.png", "x");
  std::optional<Text> response = Upload(u"http://h/u", u"here.png");
  std::filesystem::current_path(previous);
  EXPECT_EQ(response, std::nullopt);
  EXPECT_TRUE(http_.exchanges().empty());
}

TEST_F(UploadTest, AFileThatShrinksDuringTheUploadEndsItAsAFailure) {
  std::filesystem::path file = Scratch("shrinking.bin");
  WriteBytes(file, PatternBytes(5 * kTransferBlockSize));
  http_.SetWriteObserver([&](uint64_t written) {
    if (written > kTransferBlockSize) std::filesystem::resize_file(file, kTransferBlockSize + 7);
  });
  EXPECT_EQ(Upload(u"http://h/u", ScratchText("shrinking.bin")), std::nullopt);
  ASSERT_EQ(http_.exchanges().size(), 1u);
  EXPECT_FALSE(http_.exchanges()[0].sent);
}

TEST_F(UploadTest, PostImageToServerResults) {
  Text path = MakeFile("my pics/a b.png", "x");
  Text url = u"file:///" + path;
  ReplaceAll(url, u" ", u"%20");

  http_.QueueResponse({u"200", {}, "/uploaded/a.png"});
  EXPECT_EQ(postImageToServer(platform(), u"http://h/u", form_, url), u"/uploaded/a.png");
  ASSERT_EQ(http_.exchanges().size(), 1u);
  EXPECT_NE(http_.exchanges()[0].body.find(Field("filename1", ToUtf8(path))), std::string::npos);

  http_.QueueResponse({u"500", {}, "boom"});
  EXPECT_EQ(postImageToServer(platform(), u"http://h/u", form_, url), url)
      << "failure gives the input";

  Text missing = u"file:///" + ScratchText("none.png");
  EXPECT_EQ(postImageToServer(platform(), u"http://h/u", form_, missing), missing);
  EXPECT_EQ(http_.exchanges().size(), 2u) << "a missing file causes no traffic";
}

TEST(PostImageToServer, TheScriptingEntryUsesThePostPageAndTheGuard) {
  ControlScene scene;
  scene.Load({{u"postPageURL", u"http://upload.example:81/save.php"}});
  Text path = FromUtf8((std::filesystem::temp_directory_path() / "qorva_guard_test.png").string());
  WriteBytes(std::filesystem::path(ToUtf8(path)), "x");

  InvokeResult ok = scene.Call(u"postImageToServer", {Variant::String(path)});
  ASSERT_EQ(scene.http.exchanges().size(), 1u);
  EXPECT_EQ(scene.http.exchanges()[0].host, u"upload.example");
  EXPECT_EQ(scene.http.exchanges()[0].port, 81u);
  EXPECT_EQ(ok.value.text, u"");  // 200 with an empty body

  scene.Put(u"hasContainer", Variant::Uint(1));
  InvokeResult refused = scene.Call(u"postImageToServer", {Variant::String(path)});
  EXPECT_EQ(refused.value.text, u"");
  EXPECT_EQ(scene.http.exchanges().size(), 1u);
  ASSERT_EQ(scene.ui.shown().size(), 1u);
  EXPECT_EQ(scene.ui.shown()[0].text, u"Container 모드에서는 사용할 수 없는 메소드입니다.");
  std::filesystem::remove(std::filesystem::path(ToUtf8(path)));
}

}  // namespace
}  // namespace qorva
