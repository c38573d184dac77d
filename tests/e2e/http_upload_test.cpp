// The upload against PHP's built-in server, whose own multipart parser reports what it
// received (tests/data/transfer/upload_page/upload.php).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "cli/qorva_cli.h"
#include "control/control_settings.h"
#include "e2e/local_server.h"
#include "platform/memory/memory_platform.h"
#include "support/encoding.h"
#include "transfer/upload.h"

namespace qorva {
namespace {

std::string Pattern(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + i / 977) % 256);
  return bytes;
}

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string PercentDecode(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      out.push_back(static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16)));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

// The page's report as (name, value) pairs in its order, values decoded.
std::vector<std::pair<std::string, std::string>> Report(const Text& response) {
  std::vector<std::pair<std::string, std::string>> items;
  std::istringstream lines(ToUtf8(response));
  for (std::string line; std::getline(lines, line);) {
    size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    items.emplace_back(line.substr(0, equals), PercentDecode(line.substr(equals + 1)));
  }
  return items;
}

std::string Lookup(const std::vector<std::pair<std::string, std::string>>& report,
                   const std::string& name) {
  for (const auto& [key, value] : report) {
    if (key == name) return value;
  }
  return "<missing " + name + ">";
}

class HttpUploadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSettings();
    folder_ =
        std::filesystem::temp_directory_path() / ("qorva_upload_e2e_" + std::to_string(getpid()));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_ / "store");
    std::string error;
    server_ = LocalServer::StartPhp(QORVA_SOURCE_DIR "/tests/data/transfer/upload_page",
                                    {{"QORVA_UPLOAD_STORE", (folder_ / "store").string()}}, error);
    ASSERT_TRUE(server_) << error;
  }
  void TearDown() override {
    std::filesystem::remove_all(folder_);
    ResetSettings();
  }

  Text PostImage(const std::string& page, TextView localPath) {
    return postImageToServer(ports_.ports(), FromUtf8(server_->Url(page)), form_, localPath);
  }

  std::filesystem::path MakeFile(const std::string& name, const std::string& bytes) {
    std::filesystem::path path =
        folder_ / std::filesystem::path(std::u8string(name.begin(), name.end()));
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  std::filesystem::path folder_;
  UploadForm form_;
  std::unique_ptr<LocalServer> server_;
  MemoryPlatform ports_{PortSource::kNative};
};

TEST_F(HttpUploadTest, PhpReceivesTheFieldsInOrderAndTheFileIntact) {
  form_ = {u"plugin", u"\ud55c\uad6d.example", u"qorvadata", u"YYYY/MM", u"DATETIME"};
  std::string bytes = Pattern(250000);
  std::filesystem::path file = MakeFile("my pics/\xec\x82\xac\xec\xa7\x84 1.png", bytes);
  std::string path = file.string();
  std::string url = "file:///" + path;
  for (size_t at = url.find(' '); at != std::string::npos; at = url.find(' ')) {
    url.replace(at, 1, "%20");
  }

  Text response = PostImage("/upload.php?tag=%2F%zz%41", FromUtf8(url));
  auto report = Report(response);

  EXPECT_EQ(Lookup(report, "method"), "POST");
  EXPECT_EQ(Lookup(report, "protocol"), "HTTP/1.0");
  EXPECT_EQ(Lookup(report, "uri"), "/upload.php?tag=%2F%zz%41");
  EXPECT_TRUE(Lookup(report, "agent").starts_with("qorvaeditor")) << Lookup(report, "agent");
  EXPECT_EQ(Lookup(report, "accept"), "*/*");
  EXPECT_TRUE(Lookup(report, "type").starts_with("multipart/form-data; boundary=----"));

  std::vector<std::pair<std::string, std::string>> fields;
  for (const auto& [key, value] : report) {
    if (key.starts_with("field.")) fields.emplace_back(key.substr(6), value);
  }
  std::vector<std::pair<std::string, std::string>> expected = {
      {"uploadtype", "plugin"},
      {"savefileext", "png"},
      {"serverdomain", "\xed\x95\x9c\xea\xb5\xad.example"},
      {"tosavepathurl", "qorvadata"},
      {"savafoldernamerule", "YYYY/MM"},
      {"savafilenamerule", "DATETIME"},
      {"filename1", path},
  };
  EXPECT_EQ(fields, expected) << ToUtf8(response);
  EXPECT_EQ(Lookup(report, "file.file1.name"), "\xec\x82\xac\xec\xa7\x84 1.png");
  EXPECT_EQ(Lookup(report, "file.file1.error"), "0");
  EXPECT_EQ(Lookup(report, "file.file1.size"), "250000");
  EXPECT_TRUE(ReadBytes(folder_ / "store" / "file1") == bytes) << "the stored bytes differ";
}

TEST_F(HttpUploadTest, AnswersByStatusAndSize) {
  std::filesystem::path file = MakeFile("a.png", "tiny");
  Text path = FromUtf8(file.string());
  EXPECT_EQ(PostImage("/upload.php?answer=empty", path), u"") << "200 with an empty body";
  EXPECT_EQ(PostImage("/upload.php?answer=fail", path), path) << "500 gives the path back";
  EXPECT_EQ(PostImage("/missing.php", path), path) << "404 gives the path back";

  Text first = PostImage("/upload.php?answer=big&size=250000", path);
  EXPECT_EQ(first.size(), 102400u) << "only the first block";
  EXPECT_EQ(first.substr(0, 12), u"012345678901");

  Text missing = FromUtf8((folder_ / "none.png").string());
  EXPECT_EQ(PostImage("/upload.php", missing), missing);
}

TEST_F(HttpUploadTest, TheQorvaCommandUploadsThroughTheRealClient) {
  std::filesystem::path file = MakeFile("cli/b.gif", "GIF89a");
  std::ostringstream out, err;
  int status =
      RunQorvaCommand({"call", "--param", "postPageURL=" + server_->Url("/upload.php"), "--param",
                       "serverDomain=cli.example", "postImageToServer", file.string()},
                      out, err);
  EXPECT_EQ(status, 0) << err.str();
  auto report = Report(FromUtf8(out.str()));
  EXPECT_EQ(Lookup(report, "field.serverdomain"), "cli.example");
  EXPECT_EQ(Lookup(report, "field.tosavepathurl"), "qorvadata") << "the parameter's default";
  EXPECT_EQ(Lookup(report, "file.file1.size"), "6");
  EXPECT_EQ(ReadBytes(folder_ / "store" / "file1"), "GIF89a");
}

}  // namespace
}  // namespace qorva
