#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>

#include "mime/mime_body.h"
#include "mime/mime_codec_registry.h"
#include "mime/mime_codecs.h"
#include "mime/mime_message.h"
#include "posix/posix_system.h"

namespace qorva {
namespace {

// Each test starts from the module's initial state: no folding, counter at 0.
class MimeModel : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetMimeCodecRegistries();
    ResetBoundaryCounter();
  }
  void TearDown() override { ResetMimeCodecRegistries(); }
};

std::string Serialized(const CMimeHeader& body) {
  std::string out(body.SerializedSize(), '\0');
  ptrdiff_t written = body.Serialize(out.data(), out.size());
  EXPECT_GT(written, 0);
  out.resize(written > 0 ? static_cast<size_t>(written) : 0);
  return out;
}

TEST_F(MimeModel, MessageWithOnePartHasOneEmptyLineBeforeTheFirstDelimiter) {
  EnableHeaderFolding();
  CMimeMessage message;
  message.PutField("Subject", "s");
  message.PutField("Date", "Mon, 8 Dec 2025 09:04:05 +0900");
  message.PutField("MIME-Version", "1.0");
  message.PutField("Content-Type", "multipart/related");
  message.MakeBoundary();
  CMimeBody& part = message.AppendPart();
  part.PutField("Content-Type", "text/plain");
  part.AssignContent("hello\r\n");
  std::string b = message.BoundaryParameter();
  EXPECT_EQ(Serialized(message),
            "Subject: s\r\nDate: Mon, 8 Dec 2025 09:04:05 +0900\r\n"
            "MIME-Version: 1.0\r\nContent-Type: multipart/related;\r\n\t"
            "boundary=\"" +
                b + "\"\r\n\r\n--" + b + "\r\nContent-Type: text/plain\r\n\r\nhello\r\n\r\n--" + b +
                "--\r\n");
}

TEST_F(MimeModel, PutFieldReplacesInPlaceWithTheNewSpelling) {
  CMimeHeader header;
  header.PutField("Content-Type", "text/plain");
  header.PutField("X-Other", "1");
  header.PutField("content-type", "text/html");
  ASSERT_EQ(header.Fields().size(), 2u);
  EXPECT_EQ(header.Fields()[0].name, "content-type");
  EXPECT_EQ(header.Fields()[0].value, "text/html");
  EXPECT_EQ(header.ContentType(), "text/html");
  EXPECT_FALSE(header.FieldValue("Missing").has_value());
}

TEST_F(MimeModel, PutParameterQuotesAndReplaces) {
  CMimeField field{"Content-Type", "text/html", {}};
  field.PutParameter("utf-8", "charset");
  EXPECT_EQ(field.value, "text/html; charset=\"utf-8\"");
  field.PutParameter("euc-kr", "CHARSET");
  EXPECT_EQ(field.value, "text/html; charset=\"euc-kr\"");
  field.PutParameter("\"q\"", "name");
  EXPECT_EQ(field.value, "text/html; charset=\"euc-kr\"; name=\"q\"");
  field.PutParameter("", "empty");
  EXPECT_EQ(field.value, "text/html; charset=\"euc-kr\"; name=\"q\"; empty=\"\"");
}

TEST_F(MimeModel, ParameterValuesReadBack) {
  struct Case {
    const char* value;
    const char* parameter;
    const char* expected;
  } cases[] = {
      {"image/png; name=photo.png", "name", "photo"},
      {"image/png; name=\"photo.png\"", "name", "photo.png"},
      {"multipart/mixed; boundary=----=_x", "boundary", "----"},
      {"text/html;charset=utf-8", "charset", "utf-8"},
      {"text/html; CharSet = \"x\"", "charset", ""},  // the value after "= " is empty
      {"text/html; charset =utf-8", "charset", "utf-8"},
      {"a/b; filename=x; name=y", "name", "y"},
      {"a/b; xname=x; name=y", "name", "y"},
      {"a/b; name=\"unclosed", "name", ""},
      {"a/b name=x", "name", ""},  // parameters start at the first ";"
      {"a/b; n=\xEA\xB0\x80.txt", "n", "\xEA\xB0\x80"},
      {"a/b; name", "name", ""},
  };
  for (const auto& c : cases) {
    CMimeHeader header;
    header.PutField("Content-Type", c.value);
    EXPECT_EQ(header.ParameterValue("Content-Type", c.parameter), c.expected) << c.value;
  }
}

TEST_F(MimeModel, MediaTypeCodesAndMainType) {
  struct Case {
    const char* contentType;
    MediaCode code;
    const char* main;
  } cases[] = {
      {nullptr, kMediaText, "text"},
      {"TEXT/html", kMediaText, "TEXT"},
      {"image/png", kMediaImage, "image"},
      {"Multipart/related", kMediaMultipart, "Multipart"},
      {"message/rfc822", kMediaMessage, "message"},
      {"model/x", kMediaOther, "model"},
      {"application", kMediaApplication, "application"},
  };
  for (const auto& c : cases) {
    CMimeHeader header;
    if (c.contentType) header.PutField("Content-Type", c.contentType);
    EXPECT_EQ(header.MediaTypeCode(), c.code) << (c.contentType ? c.contentType : "none");
    EXPECT_EQ(header.MainMediaType(), c.main) << (c.contentType ? c.contentType : "none");
  }
}

TEST_F(MimeModel, PutNameAndCharsetMakeAContentTypeWhenMissing) {
  struct Case {
    const char* name;
    const char* expected;
  } cases[] = {
      {"a.JPG", "image/jpeg; name=\"a.JPG\""},
      {"report.pdf", "application/pdf; name=\"report.pdf\""},
      {"song.mp3", "audio/basic; name=\"song.mp3\""},
      {"clip.mpeg", "video/mpeg; name=\"clip.mpeg\""},
      {"archive.tar.zip", "application/zip; name=\"archive.tar.zip\""},
      {"noext", "application/octet-stream; name=\"noext\""},
      {"a.png", "application/octet-stream; name=\"a.png\""},
  };
  for (const auto& c : cases) {
    CMimeHeader header;
    header.PutNameParameter(c.name);
    EXPECT_EQ(header.ContentType(), c.expected) << c.name;
  }
  CMimeHeader header;
  header.PutCharsetParameter("utf-8");
  EXPECT_EQ(header.ContentType(), "text/plain; charset=\"utf-8\"");
  header.PutNameParameter("x.gif");  // an existing field keeps its type
  EXPECT_EQ(header.ContentType(), "text/plain; charset=\"utf-8\"; name=\"x.gif\"");
}

TEST_F(MimeModel, MakeBoundaryTurnsTheTypeIntoMultipart) {
  CMimeHeader html;
  html.PutField("Content-Type", "text/html; charset=\"utf-8\"");
  html.MakeBoundary();
  std::regex mixed("multipart/mixed; boundary=\"__=_Part_Boundary_001_\\d{6}\\.\\d{6}\"");
  EXPECT_TRUE(std::regex_match(*html.ContentType(), mixed)) << *html.ContentType();

  CMimeHeader related;
  related.PutField("Content-Type", "MULTIPART/related");
  related.MakeBoundary();
  EXPECT_EQ(related.ContentType()->rfind("MULTIPART/related; boundary=\"", 0), 0u);

  CMimeHeader none;
  none.MakeBoundary();
  EXPECT_EQ(none.ContentType()->rfind("multipart/mixed; boundary=\"__=_Part_Boundary_003_", 0), 0u);
  EXPECT_EQ(FormatBoundary(1, 12345, 678), "__=_Part_Boundary_001_012345.000678");
}

TEST_F(MimeModel, BoundaryCounterRunsFromOneToNine) {
  std::string counters;
  for (int i = 0; i < 10; ++i) {
    CMimeHeader header;
    header.MakeBoundary();
    counters += header.BoundaryParameter().substr(18, 3) + " ";
  }
  EXPECT_EQ(counters, "001 002 003 004 005 006 007 008 009 001 ");
}

// Runs the body with TZ set to a POSIX zone description.
class ZoneScope {
 public:
  explicit ZoneScope(const char* zone) {
    const char* old = getenv("TZ");
    if (old) old_ = old;
    hadOld_ = old != nullptr;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ZoneScope() {
    if (hadOld_) {
      setenv("TZ", old_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  std::string old_;
  bool hadOld_ = false;
};

TEST_F(MimeModel, DateCarriesTheZoneOffset) {
  struct Case {
    const char* zone;
    int year, month, day, hour, minute;
    const char* expected;
  } cases[] = {
      {"KST-9", 2025, 12, 8, 9, 4, "Mon, 8 Dec 2025 09:04:05 +0900"},
      {"NST3:30", 2025, 12, 8, 9, 4, "Mon, 8 Dec 2025 09:04:05 -0330"},
      {"UTC0", 2025, 12, 8, 9, 4, "Mon, 8 Dec 2025 09:04:05 +0000"},
      // UTC is still in the previous month, or already in the next one.
      {"KST-9", 2025, 3, 1, 5, 0, "Sat, 1 Mar 2025 05:00:05 +0900"},
      {"NST3:30", 2025, 1, 31, 22, 0, "Fri, 31 Jan 2025 22:00:05 -0330"},
      {"NST3:30", 2024, 12, 31, 23, 0, "Tue, 31 Dec 2024 23:00:05 -0330"},
      // Daylight saving time as the zone rules say.
      {"CET-1CEST,M3.5.0,M10.5.0/3", 2025, 7, 1, 12, 0, "Tue, 1 Jul 2025 12:00:05 +0200"},
  };
  for (const auto& c : cases) {
    ZoneScope zone(c.zone);
    CMimeMessage message;
    message.StampDate(c.year, c.month, c.day, c.hour, c.minute, 5);
    EXPECT_EQ(message.FieldValue("Date"), c.expected) << c.zone << " " << c.expected;
  }
  ZoneScope zone("UTC0");
  CMimeMessage old;
  old.StampDate(1969, 12, 31, 0, 0, 0);
  EXPECT_FALSE(old.FieldValue("Date").has_value());
}

TEST_F(MimeModel, FoldingSwitchChangesContentTypeAndSubject) {
  CMimeHeader header;
  header.PutField("Content-Type", "text/html; charset=\"x\"");
  EXPECT_EQ(Serialized(header), "Content-Type: text/html; charset=\"x\"\r\n\r\n");

  std::string folded = "Subject: a\r\n\tb\r\n\r\n";
  CMimeHeader before;
  ASSERT_EQ(before.Parse(folded), static_cast<ptrdiff_t>(folded.size()));
  EXPECT_EQ(before.FieldValue("Subject"), "a\r\n\tb");

  EnableHeaderFolding();
  EXPECT_EQ(Serialized(header), "Content-Type: text/html;\r\n\tcharset=\"x\"\r\n\r\n");
  CMimeHeader after;
  after.Parse(folded);
  EXPECT_EQ(after.FieldValue("Subject"), "a b");
}

TEST_F(MimeModel, LongValuesFoldAtWhiteSpace) {
  EnableHeaderFolding();
  CMimeHeader header;
  std::string words;
  for (int i = 0; i < 30; ++i) words += "word" + std::to_string(i) + " ";
  header.PutField("X-Long", words);
  std::string text = Serialized(header);
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    EXPECT_LE(end - start, 8 + 76u) << text.substr(start, end - start);
  }
  CMimeHeader back;
  back.Parse(text);
  EXPECT_EQ(back.FieldValue("X-Long"), words);
}

TEST_F(MimeModel, ParsedEncodedWordsAreWrittenAgainInTheirCharset) {
  EnableHeaderFolding();
  CMimeHeader header;
  std::string text =
      "Subject: =?utf-8?B?7ZWc6riA?= test\r\nTo: =?utf-8?Q?=ED=95=9C?= <a@b>\r\n\r\n";
  ASSERT_GT(header.Parse(text), 0);
  EXPECT_EQ(header.FieldValue("Subject"), "\xED\x95\x9C\xEA\xB8\x80 test");
  EXPECT_EQ(header.Fields()[0].charset, "utf-8");
  std::string again = Serialized(header);
  EXPECT_NE(again.find("=?utf-8?"), std::string::npos) << again;
  CMimeHeader back;
  ASSERT_GT(back.Parse(again), 0);
  EXPECT_EQ(back.FieldValue("Subject"), header.FieldValue("Subject"));
  EXPECT_EQ(back.FieldValue("To"), header.FieldValue("To"));
}

TEST_F(MimeModel, HeaderParsingFailures) {
  struct Case {
    const char* name;
    std::string text;
    ptrdiff_t expected;
  } cases[] = {
      {"last line without CR LF", "A: b\r\nC: d", 0},
      {"white-space line then the empty line", " \r\n\r\n", 0},
      {"empty text", "", 0},
      {"leading white-space line is skipped", " junk\r\nA: b\r\n\r\n", 15},
      {"no fields", "\r\nbody", 2},
  };
  for (const auto& c : cases) {
    CMimeHeader header;
    EXPECT_EQ(header.Parse(c.text), c.expected) << c.name;
  }
  CMimeHeader noColon;
  ASSERT_EQ(noColon.Parse("no colon here\r\n\r\n"), 17);
  EXPECT_EQ(noColon.Fields()[0].name, "");
  EXPECT_EQ(noColon.Fields()[0].value, "no colon here");
}

TEST_F(MimeModel, MultipartParsing) {
  std::string text =
      "Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\n"
      "--b\r\nContent-Type: text/plain\r\n\r\none\r\n"
      "--b\r\nContent-Type: image/png\r\nContent-Transfer-Encoding: base64\r\n\r\nYWJj\r\n"
      "--b\r\nContent-Type: text/plain\r\n\r\nto the end";
  CMimeMessage message;
  ASSERT_EQ(message.Parse(text), static_cast<ptrdiff_t>(text.size()));
  EXPECT_EQ(message.ContentLength(), 0u);  // the delimiter follows the empty line at once
  ASSERT_EQ(message.Parts().size(), 3u);
  EXPECT_EQ(message.Parts()[0]->Content(), "one");  // a part ends before the delimiter's CR LF
  EXPECT_EQ(message.Parts()[1]->Content(), "abc");
  EXPECT_EQ(message.Parts()[2]->Content(), "to the end");

  std::string closed =
      "Content-Type: multipart/mixed; boundary=b\r\n\r\npreamble\r\n"
      "--b\r\n\r\nx\r\n--b--\r\nepilogue";
  CMimeMessage withClose;
  EXPECT_EQ(withClose.Parse(closed), static_cast<ptrdiff_t>(closed.size() - 8));
  EXPECT_EQ(withClose.Content(), "preamble\r\n");
  ASSERT_EQ(withClose.Parts().size(), 1u);
  EXPECT_EQ(withClose.Parts()[0]->Content(), "x");
}

// A deferred parse gives each part's content only when asked, into storage the caller
// reuses: what a longer earlier part left there must not show through.
TEST_F(MimeModel, DeferredPartsDecodeIntoReusedStorage) {
  std::string text =
      "Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\n"
      "--b\r\nContent-Type: image/png\r\nContent-Transfer-Encoding: base64\r\n\r\n"
      "YWJjZGVmZ2hpamtsbW5vcHFyc3R1dnd4eXo=\r\n"
      "--b\r\nContent-Type: image/png\r\nContent-Transfer-Encoding: base64\r\n\r\nYWJj\r\n"
      "--b\r\nContent-Type: text/plain\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
      "caf=C3=A9\r\n--b--\r\n";
  CMimeMessage eager;
  CMimeMessage deferred;
  deferred.DeferContentDecoding(true);
  ASSERT_EQ(eager.Parse(text), deferred.Parse(text));
  ASSERT_EQ(deferred.Parts().size(), 3u);
  std::string content(1000, 'x');
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_TRUE(deferred.Parts()[i]->Content().empty());
    ASSERT_TRUE(deferred.Parts()[i]->DecodeContentInto(content));
    EXPECT_EQ(content, eager.Parts()[i]->Content()) << i;
  }
  EXPECT_EQ(content, "caf\xC3\xA9");
  // An eagerly parsed body gives the content it holds.
  ASSERT_TRUE(eager.Parts()[1]->DecodeContentInto(content));
  EXPECT_EQ(content, "abc");
}

TEST_F(MimeModel, TreesRoundTripThroughTheirTextForm) {
  EnableHeaderFolding();
  std::string binary;
  for (int i = 0; i < 1000; ++i) binary.push_back(static_cast<char>(i * 7));
  CMimeMessage message;
  message.PutField("Content-Type", "multipart/related");
  message.MakeBoundary();
  const char* encodings[] = {"base64", "quoted-printable", "8bit", "x-unknown"};
  for (const char* encoding : encodings) {
    CMimeBody& part = message.AppendPart();
    part.PutField("Content-Type", "application/octet-stream");
    part.PutField("Content-Transfer-Encoding", encoding);
    part.AssignContent(std::string(encoding) == "8bit" ? "short line\r\n" : binary);
  }
  CMimeBody& nested = message.AppendPart();
  nested.PutField("Content-Type", "multipart/alternative");
  nested.MakeBoundary();
  nested.AppendPart().AssignContent("inner");

  CMimeMessage back;
  std::string text = Serialized(message);
  ASSERT_GT(back.Parse(text), 0);
  ASSERT_EQ(back.Parts().size(), 5u);
  EXPECT_EQ(back.Parts()[0]->Content(), binary);
  EXPECT_EQ(back.Parts()[1]->Content(), binary);
  EXPECT_EQ(back.Parts()[2]->Content(), "short line\r\n");
  std::vector<CMimeBody*> leaves;
  EXPECT_EQ(back.CollectLeafParts(leaves), 5u);
  EXPECT_EQ(leaves[4]->Content(), "inner");
}

TEST_F(MimeModel, SerializeFailures) {
  CMimeBody noBoundary;
  noBoundary.PutField("Content-Type", "multipart/mixed");
  noBoundary.AppendPart();
  std::string out(noBoundary.SerializedSize(), '\0');
  EXPECT_EQ(noBoundary.Serialize(out.data(), out.size()), -1);

  CMimeBody small;
  small.PutField("Subject", "abc");
  char tiny[8];
  EXPECT_EQ(small.Serialize(tiny, sizeof tiny), 0);
}

TEST_F(MimeModel, DeepNestingIsRefused) {
  std::string text;
  char level[80];
  for (int i = 0; i < 200; ++i) {
    std::snprintf(level, sizeof level,
                  "Content-Type: multipart/x; boundary=b%03d\r\n\r\n--b%03d\r\n", i, i);
    text += level;
  }
  CMimeMessage message;
  EXPECT_LT(message.Parse(text), 0);
}

TEST_F(MimeModel, DetachAndDrop) {
  CMimeBody body;
  CMimeBody& a = body.AppendPart();
  body.AppendPart();
  body.DetachPart(&a);
  EXPECT_EQ(body.Parts().size(), 1u);
  body.DropAllParts();
  EXPECT_TRUE(body.Parts().empty());
}

class MimeFiles : public MimeModel {
 protected:
  void SetUp() override {
    MimeModel::SetUp();
    dir_ = std::filesystem::temp_directory_path() /
           ("mime_files_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    std::filesystem::remove_all(dir_);
    MimeModel::TearDown();
  }
  Text Write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
    return (dir_ / name).u16string();
  }
  std::filesystem::path dir_;
  PosixSystem system_;
};

TEST_F(MimeFiles, LoadSkipsTheByteOrderMarkInTextMode) {
  struct Case {
    const char* name;
    std::string bytes;
    ByteOrderMark mark;
    std::string text;
  } cases[] = {
      {"utf8.txt", "\xEF\xBB\xBFhi", kBomUtf8, "hi"},
      {"le.txt", std::string("\xFF\xFEh\0", 4), kBomUtf16Le, std::string("h\0", 2)},
      {"be.txt", std::string("\xFE\xFF\0h", 4), kBomUtf16Be, std::string("\0h", 2)},
      {"plain.txt", "plain", kNoBom, "plain"},
      {"empty.txt", "", kNoBom, ""},
  };
  for (const auto& c : cases) {
    Text path = Write(c.name, c.bytes);
    EXPECT_EQ(DetectByteOrderMark(path), c.mark) << c.name;
    CMimeBody text;
    ASSERT_TRUE(text.LoadContentFile(path, ContentMode::kText, system_)) << c.name;
    EXPECT_EQ(text.Content(), c.text) << c.name;
    CMimeBody binary;
    ASSERT_TRUE(binary.LoadContentFile(path, ContentMode::kBinary, system_)) << c.name;
    EXPECT_EQ(binary.Content(), c.bytes) << c.name;
    EXPECT_EQ(binary.NameParameter(), c.name);
  }
  CMimeBody missing;
  missing.AssignContent("kept");
  EXPECT_FALSE(missing.LoadContentFile(u"/nonexistent/dir/x.png", ContentMode::kBinary, system_));
  EXPECT_EQ(missing.Content(), "kept");
  EXPECT_EQ(DetectByteOrderMark(u"/nonexistent/dir/x.png"), kNoBom);
}

TEST_F(MimeFiles, LoadNamesThePartInTheAnsiCodePage) {
  Text path = Write("\xED\x95\x9C.gif", "GIF89a");
  CMimeBody body;
  ASSERT_TRUE(body.LoadContentFile(path, ContentMode::kBinary, system_));
  EXPECT_EQ(body.ContentType(), "image/gif; name=\"\xC7\xD1.gif\"");  // CP949
}

// A part whose file is read while it is serialised (block by block for base64) must give
// the text of the same part with the bytes loaded, whatever the length and the codec.
TEST_F(MimeFiles, AnAttachedFileSerialisesAsTheLoadedBytesWould) {
  const size_t block = CMimeCodeBase64().EncodeBlockSize();
  std::string bytes;
  for (size_t i = 0; i < 3 * block + 100; ++i) bytes.push_back(static_cast<char>(i * 131 % 251));
  for (const char* encoding : {"base64", "quoted-printable", "7bit", "x-unknown"}) {
    for (size_t length : {size_t{0}, size_t{1}, size_t{56}, size_t{57}, block - 1, block, block + 1,
                          3 * block + 100}) {
      for (ContentMode mode : {ContentMode::kBinary, ContentMode::kText}) {
        std::string file =
            (mode == ContentMode::kText ? "\xEF\xBB\xBF" : "") + bytes.substr(0, length);
        Text path = Write("part.bin", file);
        CMimeBody loaded;
        CMimeBody attached;
        for (CMimeBody* body : {&loaded, &attached}) {
          body->PutField("Content-Type", "application/octet-stream");
          body->PutField("Content-Transfer-Encoding", encoding);
        }
        ASSERT_TRUE(loaded.LoadContentFile(path, mode, system_));
        ASSERT_TRUE(attached.AttachContentFile(path, mode, system_));
        EXPECT_EQ(attached.ContentType(), loaded.ContentType());
        EXPECT_EQ(Serialized(attached), Serialized(loaded)) << encoding << " " << length;
      }
    }
  }
  CMimeBody missing;
  missing.AssignContent("kept");
  EXPECT_FALSE(missing.AttachContentFile(u"/nonexistent/dir/x.png", ContentMode::kBinary, system_));
  EXPECT_EQ(missing.Content(), "kept");
}

// The file may change between the size being taken and the bytes being read: the text
// never runs past the size, and a vanished file leaves an empty content.
TEST_F(MimeFiles, AnAttachedFileThatChangesIsReadAsItIsThenWithinItsSize) {
  const std::string original(200000, 'a');
  // Quoted-printable text of the later bytes is three times as long as the original's.
  for (const char* encoding : {"base64", "quoted-printable"}) {
    for (const std::string& later :
         {std::string(1000, 'b'), std::string(400000, '\xE9'), std::string()}) {
      Text path = Write("changing.bin", original);
      CMimeMessage message;
      message.PutField("Content-Type", "multipart/mixed");
      message.MakeBoundary();
      CMimeBody& body = message.AppendPart();
      body.PutField("Content-Transfer-Encoding", encoding);
      ASSERT_TRUE(body.AttachContentFile(path, ContentMode::kBinary, system_));
      std::string out(message.SerializedSize(), '\0');
      if (later.empty()) {
        std::filesystem::remove(dir_ / "changing.bin");
      } else {
        Write("changing.bin", later);
      }
      ptrdiff_t written = message.Serialize(out.data(), out.size());
      ASSERT_GT(written, 0);
      out.resize(static_cast<size_t>(written));

      // The whole message, closing delimiter included, as if the bytes had been loaded.
      body.AssignContent(later.substr(0, original.size()));
      EXPECT_EQ(out, Serialized(message)) << encoding << " " << later.size();
    }
  }
}

// Clearing, loading or assigning content replaces an attached file or a deferred content,
// and a body parsed with deferral serialises with its content.
TEST_F(MimeFiles, NewContentReplacesAttachedAndDeferredContent) {
  Text path = Write("attached.bin", "file bytes");
  CMimeBody cleared;
  ASSERT_TRUE(cleared.AttachContentFile(path, ContentMode::kBinary, system_));
  cleared.ClearContent();
  CMimeBody empty;
  empty.PutNameParameter("attached.bin");
  EXPECT_EQ(Serialized(cleared), Serialized(empty));

  std::string text = "Content-Type: image/png\r\nContent-Transfer-Encoding: base64\r\n\r\nYWJj\r\n";
  CMimeBody deferred;
  deferred.DeferContentDecoding(true);
  ASSERT_GT(deferred.Parse(text), 0);
  CMimeBody eager;
  ASSERT_GT(eager.Parse(text), 0);
  EXPECT_EQ(Serialized(deferred), Serialized(eager));
  ASSERT_TRUE(deferred.LoadContentFile(path, ContentMode::kBinary, system_));
  std::string content;
  ASSERT_TRUE(deferred.DecodeContentInto(content));
  EXPECT_EQ(content, "file bytes");
}

TEST_F(MimeFiles, SaveWritesContentAndLeavesFilesAloneWithoutIt) {
  Text existing = Write("keep.bin", "old");
  CMimeBody empty;
  EXPECT_TRUE(empty.SaveContentFile(existing));
  std::ifstream kept(dir_ / "keep.bin", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "old");

  CMimeBody body;
  body.AssignContent(std::string("a\0b", 3));
  EXPECT_TRUE(body.SaveContentFile(existing));
  std::ifstream saved(dir_ / "keep.bin", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(saved), {}), std::string("a\0b", 3));
  EXPECT_FALSE(body.SaveContentFile(u"/nonexistent/dir/x.bin"));
}

}  // namespace
}  // namespace qorva
