#include "mime/mime_decode.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "mime/mime_codec_registry.h"
#include "mime/mime_file_names.h"
#include "posix/posix_system.h"
#include "support/encoding.h"
#include "support/temp_dir_fixture.h"

namespace qorva {
namespace {

namespace fs = std::filesystem;

struct Part {
  std::string contentType;
  std::string contentId;  // empty: no Content-ID field
  std::string base64;     // base64 content; or plain content when `plain` is set
  bool plain = false;
};

std::string Message(const std::vector<Part>& parts) {
  std::string text =
      "MIME-Version: 1.0\r\nContent-Type: multipart/related;\r\n\tboundary=\"B\"\r\n\r\n";
  for (const Part& part : parts) {
    text += "--B\r\nContent-Type: " + part.contentType + "\r\n";
    if (!part.plain) text += "Content-Transfer-Encoding: base64\r\n";
    if (!part.contentId.empty()) text += "Content-ID: " + part.contentId + "\r\n";
    text += "\r\n" + part.base64 + "\r\n";
  }
  return text + "--B--\r\n";
}

Part Html(const std::string& html, const std::string& charset = "euc-kr") {
  return {"text/html; charset=\"" + charset + "\"", "", html, true};
}

class MimeDecode : public ::testing::Test {
 protected:
  void SetUp() override { ResetMimeCodecRegistries(); }

  Text Decode(const std::string& message) { return QorvaDecodeMime(system_, FromUtf8(message)); }
  fs::path Folder() const { return temp_.path() / "qorvaTemp"; }
  std::string FolderUrl() const {
    std::string folder = Folder().string() + "/";
    return "file:///" + folder;
  }
  std::vector<std::string> FilesInFolder() const {
    std::vector<std::string> names;
    if (!fs::exists(Folder())) return names;
    for (const auto& entry : fs::directory_iterator(Folder())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  ScopedTemporaryDirectory temp_;
  PosixSystem system_;
};

TEST_F(MimeDecode, NamedImageIsSavedAndReferencedByFileUrl) {
  Text html = Decode(Message({Html("<img src=\"cid:abc\"><img src=\"cid:abc\">"),
                              {"image/png; name=\"photo.png\"", "<abc>", "iVBORw0K"}}));
  std::string url = FolderUrl() + "photo.png";
  EXPECT_EQ(ToUtf8(html), "<img src=\"" + url + "\"><img src=\"" + url + "\">");
  EXPECT_EQ(ScopedTemporaryDirectory::ReadBytes(Folder() / "photo.png"), "\x89PNG\r\n");
}

TEST_F(MimeDecode, UnnamedPartsGetAUniqueNameAndAnExtensionFromTheirType) {
  struct Case {
    const char* type;
    const char* extension;
  } cases[] = {
      {"image/png", ".png"},
      {"image/jpeg", ".jpg"},
      {"IMAGE/JPG", ".jpg"},
      {"image/gif", ".gif"},
      {"image/bmp", ".bmp"},
      {"image/tiff", ".tiff"},
      {"application/octet-stream", ""},
  };
  for (const auto& c : cases) {
    std::string html =
        ToUtf8(Decode(Message({Html("<img src=\"cid:x\">"), {c.type, "x", "YWJj"}})));
    std::regex pattern("<img src=\"" + FolderUrl() + "([0-9a-f]{32})" + c.extension + "\">");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(html, match, pattern)) << c.type << ": " << html;
    EXPECT_EQ(ScopedTemporaryDirectory::ReadBytes(Folder() / (match[1].str() + c.extension)), "abc")
        << c.type;
  }
}

TEST_F(MimeDecode, SameNamesNeverOverwriteAndEachReferenceKeepsItsBytes) {
  const std::string message = Message({Html("cid:a cid:b cid:c"),
                                       {"image/png; name=\"image001.png\"", "<a>", "YWFh"},
                                       {"image/png; name=\"image001.png\"", "<b>", "YmJi"},
                                       {"image/png; name=\"notes\"", "<c>", "Y2Nj"}});
  EXPECT_EQ(ToUtf8(Decode(message)), FolderUrl() + "image001.png " + FolderUrl() +
                                         "image001 (2).png " + FolderUrl() + "notes");
  // A second decode leaves the files the first one's references show.
  EXPECT_EQ(ToUtf8(Decode(message)), FolderUrl() + "image001 (3).png " + FolderUrl() +
                                         "image001 (4).png " + FolderUrl() + "notes (2)");
  const std::pair<const char*, const char*> files[] = {{"image001.png", "aaa"},
                                                       {"image001 (2).png", "bbb"},
                                                       {"image001 (3).png", "aaa"},
                                                       {"image001 (4).png", "bbb"},
                                                       {"notes", "ccc"},
                                                       {"notes (2)", "ccc"}};
  for (const auto& [name, bytes] : files) {
    EXPECT_EQ(ScopedTemporaryDirectory::ReadBytes(Folder() / name), bytes) << name;
  }
}

TEST_F(MimeDecode, ImageBeforeHtmlIsSavedButNotReferenced) {
  Text html = Decode(Message({{"image/png; name=\"early.png\"", "<e>", "YWJj"}, Html("cid:e")}));
  EXPECT_EQ(html, u"cid:e");
  EXPECT_TRUE(fs::exists(Folder() / "early.png"));
}

TEST_F(MimeDecode, NothingToReturn) {
  EXPECT_EQ(Decode(""), u"");
  EXPECT_EQ(Decode(Message({{"text/plain", "", "just text", true}})), u"");
  EXPECT_EQ(Decode("not a message"), u"");
  // A non-text part without Content-ID is skipped and saved nowhere.
  EXPECT_EQ(Decode(Message({Html("x"), {"image/png", "", "YWJj"}})), u"x");
  EXPECT_TRUE(FilesInFolder().empty());
}

TEST_F(MimeDecode, BareLineFeedsParseLikeCrLf) {
  std::string crlf = Message({Html("<p>a</p>"), {"image/gif; name=\"g.gif\"", "<g>", "R0lG"}});
  std::string lf = std::regex_replace(crlf, std::regex("\r\n"), "\n");
  EXPECT_EQ(Decode(lf), Decode(crlf));
  EXPECT_EQ(ScopedTemporaryDirectory::ReadBytes(Folder() / "g.gif"), "GIF");
}

TEST_F(MimeDecode, HtmlCharsets) {
  Part utf8{"text/html; charset=\"UTF-8\"", "", "7ZWc6riA"};  // base64 of the UTF-8 bytes
  EXPECT_EQ(Decode(Message({utf8})), u"한글");
  // euc-kr bytes of the same word, read in the system code page.
  std::string euc = "Content-Type: text/html; charset=euc-kr\r\n\r\n\xC7\xD1\xB1\xDB";
  EXPECT_EQ(QorvaDecodeMime(system_, FromAnsi(system_, euc)), u"한글");
  // A later HTML part replaces an earlier one.
  EXPECT_EQ(Decode(Message({Html("first"), Html("second")})), u"second");
}

TEST_F(MimeDecode, HostileNamesStayInsideTheWorkingFolder) {
  struct Case {
    const char* name;
    const char* saved;  // empty: a unique name
  } cases[] = {
      {"../../escape.png", ".._.._escape.png"},
      {"..\\up.png", ".._up.png"},
      {"a/b/c.png", "a_b_c.png"},
      {"..", ""},
      {"...", ""},
      {"CON.png", "_CON.png"},
      {"conout$.png", "_conout$.png"},
      {"lpt0", "_lpt0"},
      {"x:y*z?.png", "x_y_z_.png"},
      {"tab\t.png", "tab_.png"},
      {"/etc/passwd", "_etc_passwd"},
  };
  EXPECT_EQ(ReduceToFileName(u"COM\u00B9.txt"), u"_COM\u00B9.txt");
  EXPECT_EQ(ReduceToFileName(u"COM10.txt"), u"COM10.txt");
  for (const auto& c : cases) {
    std::string message = Message(
        {Html("cid:h"), {std::string("image/png; name=\"") + c.name + "\"", "<h>", "YWJj"}});
    std::string html = ToUtf8(Decode(message));
    std::string expected = *c.saved ? c.saved : "";
    if (expected.empty()) {
      EXPECT_TRUE(std::regex_match(html, std::regex(FolderUrl() + "[0-9a-f]{32}\\.png")))
          << c.name << ": " << html;
    } else {
      EXPECT_EQ(html, FolderUrl() + expected) << c.name;
      EXPECT_EQ(ScopedTemporaryDirectory::ReadBytes(Folder() / expected), "abc") << c.name;
    }
  }
  // Nothing was written beside the working folder.
  for (const auto& entry : fs::recursive_directory_iterator(temp_.path())) {
    EXPECT_EQ(entry.path().parent_path(), entry.is_directory() ? temp_.path() : Folder())
        << entry.path();
  }
}

}  // namespace
}  // namespace qorva
