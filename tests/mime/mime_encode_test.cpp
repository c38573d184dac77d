#include "mime/mime_encode.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <random>
#include <regex>

#include "control/control_settings.h"
#include "mime/mime_codec_registry.h"
#include "mime/mime_codecs.h"
#include "mime/mime_file_names.h"
#include "mime/mime_message.h"
#include "platform/memory/memory_clock.h"
#include "posix/posix_content_types.h"
#include "posix/posix_system.h"
#include "support/encoding.h"
#include "support/file_path.h"
#include "support/log_file.h"
#include "support/temp_dir_fixture.h"

namespace qorva {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPng = "\x89PNG\r\n\x1a\n-image-bytes-";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size()) << "the text ends with CR LF";
  return lines;
}

std::string Base64Decoded(const std::string& text) {
  CMimeCodeBase64 codec;
  codec.SetInput(text, CodecDirection::kDecode);
  return RunCodec(codec);
}

struct Download {
  Text server;
  Text path;
  Text target;
};

class MimeEncode : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetMimeCodecRegistries();
    ResetBoundaryCounter();
    ResetSettings();
    ResetLogFile();
    setenv("TZ", "KST-9", 1);
    tzset();
    clock_.SetLocal({2025, 12, 8, 9, 4, 5, 0});
    images_ = temp_.path() / "images";
    fs::create_directories(images_);
    ScopedTemporaryDirectory::WriteBytes(images_ / "a.png", kPng);
    context_.download = [this](TextView server, TextView path, Text& target) {
      downloads_.push_back({Text(server), Text(path), target});
      if (!downloadSucceeds_) return false;
      ScopedTemporaryDirectory::WriteBytes(PathFromText(target), "downloaded");
      return true;
    };
  }
  void TearDown() override {
    ResetLogFile();
    ResetSettings();
    unsetenv("TZ");
    tzset();
  }

  Text ImagePath(const char* name = "a.png") const { return Widen((images_ / name).string()); }
  // The form the control itself uses for local files: "file:///" and the path.
  Text ImageUrl(const char* name = "a.png") const { return u"file:///" + ImagePath(name); }

  std::string Encode(const std::string& html) {
    return ToUtf8(
        QorvaEncodeMime(context_, charset_, {images_list_, files_list_}, FromUtf8(html), 0));
  }

  ScopedTemporaryDirectory temp_;
  fs::path images_;
  PosixSystem system_;
  MemoryClock clock_{std::chrono::system_clock::now(), std::chrono::minutes(540)};
  MimeTypesFile types_ = MimeTypesFile::FromText(
      "image/png png\nimage/jpeg jpeg jpg\ntext/plain txt\napplication/pdf pdf\n");
  MimeEncodeContext context_{system_, clock_, types_, {}, 1, 0, 3, {}, {}, false, {}};
  Text charset_ = u"euc-kr";
  std::vector<Text> images_list_;
  std::vector<Text> files_list_;
  std::vector<Download> downloads_;
  bool downloadSucceeds_ = true;
};

TEST_F(MimeEncode, ExampleMessageLineByLine) {
  images_list_ = {ImagePath()};
  std::string html = "<p><img src=\"" + ToUtf8(ImageUrl()) + "\"></p>";
  std::vector<std::string> all = Lines(Encode(html));
  // Lines 14 and 24 of the example stand for all the base64 lines: join each run.
  std::vector<std::string> lines;
  for (size_t i = 0; i < all.size(); ++i) {
    bool base64Run = !lines.empty() && (lines.size() == 14 || lines.size() == 24) &&
                     !all[i].empty() && lines.back().size() == 76 && !all[i - 1].empty();
    if (base64Run) {
      lines.back() += all[i];
    } else {
      lines.push_back(all[i]);
    }
  }
  ASSERT_EQ(lines.size(), 26u);
  std::smatch m;
  ASSERT_TRUE(std::regex_match(
      lines[4], m, std::regex("\tboundary=\"(__=_Part_Boundary_001_\\d{6}\\.\\d{6})\"")))
      << lines[4];
  std::string b = m[1];
  EXPECT_EQ(lines[0], "Subject: QORVA Editor Mime 1.0");
  EXPECT_EQ(lines[1], "Date: Mon, 8 Dec 2025 09:04:05 +0900");
  EXPECT_EQ(lines[2], "MIME-Version: 1.0");
  EXPECT_EQ(lines[3], "Content-Type: multipart/related;");
  EXPECT_EQ(lines[5], "");
  EXPECT_EQ(lines[6], "X-Generator: QORVAEditor MIME Control V1.0 by VANTREL Technology Inc.");
  EXPECT_EQ(lines[7], "");
  EXPECT_EQ(lines[8], "--" + b);
  EXPECT_EQ(lines[9], "Content-Type: text/html;");
  EXPECT_EQ(lines[10], "\tcharset=\"euc-kr\"");
  EXPECT_EQ(lines[11], "Content-Transfer-Encoding: base64");
  EXPECT_EQ(lines[12], "");
  std::string htmlOut = Base64Decoded(lines[13]);
  EXPECT_TRUE(std::regex_match(
      htmlOut, m, std::regex("<p><img src=\"cid:([0-9a-f]{32}@qorvaeditor\\.mime)\"></p>")))
      << htmlOut;
  std::string contentId = m[1];
  EXPECT_EQ(lines[14], "");
  EXPECT_EQ(lines[15], "--" + b);
  EXPECT_EQ(lines[16], "Content-Type: image/png;");
  EXPECT_EQ(lines[17], "\tname=\"a.png\"");
  EXPECT_EQ(lines[18], "Content-Transfer-Encoding: base64");
  EXPECT_EQ(lines[19], "Content-ID: <" + contentId + ">");
  EXPECT_EQ(lines[20], "Content-Disposition: inline;");
  EXPECT_TRUE(std::regex_match(lines[21], std::regex("\tfilename=\"[0-9a-f]{32}\\.png\"")))
      << lines[21];
  EXPECT_EQ(lines[22], "");
  EXPECT_EQ(Base64Decoded(lines[23]), kPng);
  EXPECT_EQ(lines[24], "");
  EXPECT_EQ(lines[25], "--" + b + "--");
}

TEST_F(MimeEncode, LongHtmlGivesFullBase64Lines) {
  std::string html(1000, 'x');
  std::vector<std::string> lines = Lines(Encode(html));
  std::string body;
  size_t at = 13;
  for (; lines[at].size() == 76; ++at) body += lines[at];
  EXPECT_LT(lines[at].size(), 76u);
  body += lines[at];
  EXPECT_EQ(Base64Decoded(body), html);
}

TEST_F(MimeEncode, ReferencesThatTheHtmlDoesNotHoldAreDropped) {
  images_list_ = {ImagePath(), ImagePath()};
  files_list_ = {u"/nowhere/x.txt"};
  std::string html = "<img src=\"" + ToUtf8(ImageUrl()) + "\">";
  std::string text = Encode(html);
  // The first entry took every reference; the second found none and went.
  EXPECT_EQ(images_list_, std::vector<Text>{ImagePath()});
  EXPECT_TRUE(files_list_.empty());
  CMimeMessage parsed;
  ASSERT_GT(parsed.Parse(text), 0);
  EXPECT_EQ(parsed.Parts().size(), 2u);

  images_list_ = {ImagePath("missing.png")};
  Encode("no images here");
  EXPECT_TRUE(images_list_.empty());
}

TEST_F(MimeEncode, FileUrlEntriesAndToggledForms) {
  images_list_ = {ImageUrl()};  // an entry with the prefix matches the HTML as written
  std::string text = Encode("<img src=\"" + ToUtf8(ImageUrl()) + "\">");
  EXPECT_EQ(images_list_.size(), 1u);
  EXPECT_NE(text.find("Content-Type: image/png"), std::string::npos);

  struct Case {
    const char16_t* input;
    const char16_t* expected;
  } cases[] = {
      {u"C:\\img\\a.png", u"file:///C:/img/a.png"},
      {u"file:///C:/img/a.png", u"C:\\img\\a.png"},
      {u"file:///a/file:///b", u"a\\b"},
      {u"/img/a.png", u"/img/a.png"},
  };
  for (const auto& c : cases) EXPECT_EQ(ToggleFileUrl(c.input), c.expected) << ToUtf8(c.input);
}

TEST_F(MimeEncode, RemoteEntriesFollowTheLocalOnlyRule) {
  context_.hostPagePath = u"http://host:8080";
  std::string html = "<img src=\"http://other/x.png\"><img src=\"/img/a.png\">";
  images_list_ = {u"http://other/x.png", u"/img/a.png"};
  Encode(html);
  EXPECT_TRUE(images_list_.empty()) << "mimeLocalOnly 1 embeds no remote entry";
  EXPECT_TRUE(downloads_.empty());

  context_.mimeLocalOnly = 2;
  images_list_ = {u"http://other/x.png", u"/img/a.png"};
  std::string text = Encode(html);
  ASSERT_EQ(downloads_.size(), 1u);
  EXPECT_EQ(downloads_[0].server, u"http://host:8080/");
  EXPECT_EQ(downloads_[0].path, u"/img/a.png");
  ASSERT_EQ(images_list_.size(), 1u);
  EXPECT_EQ(images_list_[0], downloads_[0].target);  // the entry is now the local copy
  CMimeMessage parsed;
  ASSERT_GT(parsed.Parse(text), 0);
  EXPECT_TRUE(parsed.Parts()[0]->Content().starts_with("<img src=\"http://other/x.png\">"))
      << "the dropped reference stays in the HTML";

  context_.mimeLocalOnly = 0;
  context_.mimeBaseURL = u"http://base";
  downloads_.clear();
  images_list_ = {u"http://other/x.png"};
  Encode(html);
  ASSERT_EQ(downloads_.size(), 1u);
  // The base URL and the entry are joined as they are, absolute entries too.
  EXPECT_EQ(downloads_[0].server + downloads_[0].path.substr(1), u"http://basehttp://other/x.png");
  // With mimeLocalOnly 2 and an unknown host page, only the base URL lets entries through.
  context_.mimeLocalOnly = 2;
  context_.hostPagePath.clear();
  context_.mimeBaseURL.clear();
  downloads_.clear();
  images_list_ = {u"/img/a.png"};
  Encode(html);
  EXPECT_TRUE(downloads_.empty());
}

TEST_F(MimeEncode, DownloadTargetsAndFailures) {
  context_.mimeLocalOnly = 0;
  context_.hostPagePath = u"http://host";
  std::string html = "<img src=\"/a.PNG\"><img src=\"/pic.php?id=1\"><img src=\"/bad.gif\">";
  images_list_ = {u"/a.PNG", u"/pic.php?id=1"};
  files_list_ = {u"/doc.pdf"};
  Encode(html + "<a href=\"/doc.pdf\">");
  ASSERT_EQ(downloads_.size(), 3u);
  std::string folder = (temp_.path() / "qorvaTemp").string() + "/";
  EXPECT_TRUE(
      std::regex_match(ToUtf8(downloads_[0].target), std::regex(folder + "[0-9a-f]{32}\\.png")))
      << ToUtf8(downloads_[0].target);
  EXPECT_EQ(ToUtf8(downloads_[1].target), folder + "?.jpg");
  EXPECT_TRUE(
      std::regex_match(ToUtf8(downloads_[2].target), std::regex(folder + "[0-9a-f]{32}\\.pdf")));

  files_list_ = {u"/x\\y.z/q"};
  Encode("<a href=\"/x\\y.z/q\">");
  EXPECT_TRUE(
      std::regex_match(ToUtf8(downloads_.back().target), std::regex(folder + "[0-9a-f]{32}\\.z_q")))
      << ToUtf8(downloads_.back().target);

  downloadSucceeds_ = false;
  images_list_ = {u"/bad.gif"};
  Encode(html);
  EXPECT_TRUE(images_list_.empty()) << "a failed download drops the entry";

  // An absolute reference to the page's own host is found in its host-relative form.
  downloadSucceeds_ = true;
  images_list_ = {u"http://host/rel.png"};
  std::string text = Encode("<img src=\"/rel.png\">");
  EXPECT_EQ(images_list_.size(), 1u);
}

TEST_F(MimeEncode, HeaderOptionsCharsetsAndEncodings) {
  context_.mimeRemoveHeader = 1;
  charset_ = u"UTF-8";
  context_.mimeConentEncodingType = 4;
  images_list_ = {ImagePath()};
  std::string text = Encode("\xED\x95\x9C <img src=\"" + ToUtf8(ImageUrl()) + "\">");
  EXPECT_EQ(charset_, u"utf-8");
  std::vector<std::string> lines = Lines(text);
  EXPECT_EQ(lines[0], "MIME-Version: 1.0");
  EXPECT_EQ(lines[1], "Content-Type: multipart/related;");
  EXPECT_EQ(text.find("X-Generator"), std::string::npos);
  EXPECT_EQ(text.find("Subject"), std::string::npos);
  CMimeMessage parsed;
  ASSERT_GT(parsed.Parse(text), 0);
  ASSERT_EQ(parsed.Parts().size(), 2u);
  EXPECT_EQ(parsed.Parts()[0]->TransferEncoding(), "quoted-printable");
  EXPECT_EQ(parsed.Parts()[0]->CharsetParameter(), "utf-8");
  EXPECT_EQ(parsed.Parts()[0]->Content().substr(0, 4), "\xED\x95\x9C ");
  EXPECT_EQ(parsed.Parts()[1]->TransferEncoding(), "base64");
  EXPECT_EQ(parsed.Parts()[1]->Content(), kPng);

  charset_ = u"";
  Encode("x");
  EXPECT_EQ(charset_, u"euc-kr");
  for (uint32_t type : {1u, 2u, 3u, 9u}) {
    context_.mimeConentEncodingType = type;
    std::string encoded = Encode("x");
    EXPECT_NE(encoded.find("Content-Transfer-Encoding: " + ToUtf8(TransferEncodingName(type))),
              std::string::npos);
  }
  EXPECT_EQ(TransferEncodingName(9), u"base64");
}

TEST_F(MimeEncode, LogLinesAndTheDumpFile) {
  context_.useLog = true;
  charset_ = u"utf-8";
  images_list_ = {ImagePath(), ImagePath("gone.png")};
  ScopedTemporaryDirectory::WriteBytes(images_ / "gone.png", "x");
  std::string html =
      "<img src=\"" + ToUtf8(ImageUrl()) + "\"><img src=\"" + ToUtf8(ImageUrl("gone.png")) + "\">";
  std::string text = Encode(html);
  fs::path folder = temp_.path() / "qorvaTemp";
  std::string dump = ScopedTemporaryDirectory::ReadBytes(folder / "QORVA_mime.txt");
  EXPECT_EQ(dump, "\xEF\xBB\xBF" + text);

  std::string log = ScopedTemporaryDirectory::ReadBytes(folder / "QORVA-2025-12-08.log");
  std::string messages = std::regex_replace(log, std::regex("\\d\\d:\\d\\d:\\d\\d\\.\\d{3}\t"), "");
  messages = std::regex_replace(messages, std::regex("[0-9a-f]{32}@qorvaeditor\\.mime"), "ID");
  std::string rule(56, '=');
  std::string image = ImagePath().empty() ? "" : ToUtf8(ImagePath());
  std::string gone = ToUtf8(ImagePath("gone.png"));
  EXPECT_EQ(messages,
            "QORVA Mime Start " + rule + "\r\nMIME Option : 1\r\nMIME Image : " + image +
                "\r\nMIME Image : " + gone +
                "\r\nMake MIME Start ----------\r\nHeader Encoding (S)\r\n"
                "Header Encoding (E)\r\nHTML BODY Encoding (S)\r\nHTML BODY Encoding (E)\r\n"
                "Image File : " +
                image +
                " - ID (S)\r\nImage File : ID is OK (E)\r\n"
                "Image File : " +
                gone +
                " - ID (S)\r\nImage File : ID is OK (E)\r\n"
                "Make MIME End ----------\r\n\r\nMIME File Saved : " +
                (folder / "QORVA_mime.txt").string() + "\r\nQORVA Mime End   " + rule +
                "\r\n\r\n\r\n");
}

TEST_F(MimeEncode, WithoutUseLogNeitherLogNorDumpIsWritten) {
  context_.useLog = false;
  Encode("<p>x</p>");
  fs::path folder = temp_.path() / "qorvaTemp";
  EXPECT_FALSE(fs::exists(folder / "QORVA_mime.txt"));
  EXPECT_FALSE(fs::exists(folder / "QORVA-2025-12-08.log"));
}

TEST_F(MimeEncode, UnreadableImageKeepsItsPartWithEmptyContent) {
  images_list_ = {ImagePath()};
  std::string html = "<img src=\"" + ToUtf8(ImageUrl()) + "\">";
  fs::permissions(images_ / "a.png", fs::perms::none);
  bool readable = static_cast<bool>(std::ifstream(images_ / "a.png"));
  std::string text = Encode(html);
  fs::permissions(images_ / "a.png", fs::perms::owner_all);
  if (readable) GTEST_SKIP() << "running with rights that read any file";
  CMimeMessage parsed;
  ASSERT_GT(parsed.Parse(text), 0);
  ASSERT_EQ(parsed.Parts().size(), 2u);
  EXPECT_EQ(parsed.Parts()[1]->ContentLength(), 0u);
  EXPECT_TRUE(parsed.Parts()[1]->FindField("Content-ID"));
}

TEST_F(MimeEncode, FileEntriesCarryTheirByteOrderMark) {
  ScopedTemporaryDirectory::WriteBytes(images_ / "u8.txt", "\xEF\xBB\xBFhi");
  ScopedTemporaryDirectory::WriteBytes(images_ / "u16.txt", std::string("\xFF\xFEh\0", 4));
  ScopedTemporaryDirectory::WriteBytes(images_ / "doc.pdf", "%PDF");
  files_list_ = {ImagePath("u8.txt"), ImagePath("u16.txt"), ImagePath("doc.pdf")};
  context_.mimeConentEncodingType = 1;
  std::string html =
      ToUtf8(ImageUrl("u8.txt") + u" " + ImageUrl("u16.txt") + u" " + ImageUrl("doc.pdf"));
  CMimeMessage parsed;
  ASSERT_GT(parsed.Parse(Encode(html)), 0);
  ASSERT_EQ(parsed.Parts().size(), 4u);
  // The subtype is the name until the file is read; then the file's own name.
  EXPECT_EQ(parsed.Parts()[1]->ContentType(), "text/plain; charset=\"utf-8\"; name=\"u8.txt\"");
  EXPECT_EQ(parsed.Parts()[1]->Content(), "hi");
  EXPECT_EQ(parsed.Parts()[2]->ContentType(), "text/plain; charset=\"unicode\"; name=\"u16.txt\"");
  EXPECT_EQ(parsed.Parts()[2]->Content(), std::string("h\0", 2)) << "a zero byte cuts nothing";
  EXPECT_EQ(parsed.Parts()[3]->ContentType(), "application/pdf; name=\"doc.pdf\"");
  EXPECT_EQ(parsed.Parts()[3]->TransferEncoding(), "7bit");
  EXPECT_FALSE(parsed.Parts()[3]->FindField("Content-Disposition"));
}

// The older encoder's scan, searching every pattern afresh for every image.
std::vector<Text> ScanAfresh(TextView html) {
  std::vector<Text> sources;
  for (size_t pos = 0; pos < html.size();) {
    size_t found = html.find(u"src=\"file:///", pos);
    if (found == TextView::npos) found = html.find(u"SRC=\"", pos);
    if (found == TextView::npos) found = html.find(u"src=\"", pos);
    if (found == TextView::npos) break;
    if (Contains(ToLower(html.substr(found, 9)), u"http")) {
      pos = found + 9;
      continue;
    }
    size_t end = html.find(u'"', found + 5);
    if (end == TextView::npos) break;
    sources.emplace_back(html.substr(found + 5, end - found - 5));
    pos = end;
  }
  return sources;
}

// The scan keeps each pattern's next place between images; it finds what searching
// afresh finds, whatever the mix and order of the sources.
TEST(CollectLocalImageSources, FindsWhatSearchingAfreshFinds) {
  const TextView pieces[] = {u"<img src=\"file:///c:/a.png\">",
                             u"<IMG SRC=\"/up.png\">",
                             u"<img src=\"b.png\">",
                             u"<img src=\"http://x/y.png\">",
                             u"<IMG SRC=\"HTTP://x/z.png\">",
                             u"<p>text</p>",
                             u"src=\"",
                             u"<img src=\"file:///d.png"};
  std::mt19937 random(5);
  for (int round = 0; round < 500; ++round) {
    Text html;
    for (auto i = random() % 12; i > 0; --i) html.append(pieces[random() % 8]);
    EXPECT_EQ(CollectLocalImageSources(html), ScanAfresh(html)) << ToUtf8(html);
  }
}

TEST_F(MimeEncode, OlderEncoderScansTheHtml) {
  std::string local = ToUtf8(ImageUrl());
  // A "file:///" source is looked for first, so the upper-case one before it is passed by.
  std::string scan = "<IMG SRC=\"/up.png\"><img src=\"" + local + "\"><img src=\"http://x/y.png\">";
  EXPECT_EQ(CollectLocalImageSources(FromUtf8(scan)), std::vector<Text>{FromUtf8(local)});
  EXPECT_EQ(CollectLocalImageSources(u"<IMG SRC=\"/up.png\"><img src=\"http://x/y.png\">"),
            std::vector<Text>{u"/up.png"});

  std::string html =
      "<img src=\"http://x/y.png\"><img src=\"" + local + "\"><img src=\"" + local + "\">";

  CMimeMessage parsed;
  std::string text = ToUtf8(QorvaEncodeMine(context_, FromUtf8(html), 0));
  ASSERT_GT(parsed.Parse(text), 0);
  EXPECT_NE(text.find("\r\n\r\nX-Generator: QORVWebEditor MIME Control V2.5 by KOLMET\r\n"),
            std::string::npos);
  ASSERT_EQ(parsed.Parts().size(), 3u);  // the same source twice gives two parts
  EXPECT_EQ(parsed.Parts()[1]->ContentType(), "image/png; name=\"a.png\"");
  EXPECT_EQ(parsed.Parts()[1]->Content(), kPng);
  EXPECT_EQ(parsed.Parts()[2]->Content(), kPng);
  std::string htmlOut(parsed.Parts()[0]->Content());
  EXPECT_NE(htmlOut.find("<img src=\"http://x/y.png\">"), std::string::npos);

  CMimeMessage plain;
  ASSERT_GT(plain.Parse(ToUtf8(QorvaEncodeMine(context_, u"<p>no images</p>", 0))), 0);
  EXPECT_EQ(plain.Parts().size(), 1u);
}

TEST(ContentTypes, MimeTypesFileAndSubtypes) {
  MimeTypesFile table = MimeTypesFile::FromText(
      "# comment\nimage/png\t\tpng\nimage/jpeg jpeg jpg jpe # trailing\n\nimage/x-png png\n"
      "text/plain txt\r\n");
  struct Case {
    const char16_t* path;
    const char16_t* type;
    const char16_t* subtype;
  } cases[] = {
      {u"/a/b.png", u"image/png", u"png"},
      {u"C:\\x\\Y.JPG", u"image/jpeg", u"jpeg"},
      {u"notes.txt", u"text/plain", u"plain"},
      {u"noext", u"application/octet-stream", u"octet-stream"},
      {u"a.unknown", u"application/octet-stream", u"octet-stream"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ContentTypeForFile(table, c.path), c.type) << ToUtf8(c.path);
    EXPECT_EQ(ContentSubtype(table, c.path), c.subtype) << ToUtf8(c.path);
  }
  EXPECT_GT(MimeTypesFile("/etc/mime.types").size(), 100u) << "the system table is read";
  EXPECT_EQ(MimeTypesFile("/nonexistent").size(), 0u);
}

}  // namespace
}  // namespace qorva
