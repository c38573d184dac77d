#include "transfer/html_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/encoding.h"
#include "support/file_path.h"
#include "support/temp_dir_fixture.h"

namespace qorva {
namespace {

namespace fs = std::filesystem;

const std::string kMark = "\xEF\xBB\xBF";

TEST(HtmlFile, ExtensionAddedOnlyWhenThePathHasNoDot) {
  EXPECT_EQ(WithHtmlExtension(u"C:\\Docs\\page"), u"C:\\Docs\\page.htm");
  EXPECT_EQ(WithHtmlExtension(u"/docs/page.html"), u"/docs/page.html");
  EXPECT_EQ(WithHtmlExtension(u"/docs/page.txt"), u"/docs/page.txt");
  // A dot in a folder's name counts, as it always has.
  EXPECT_EQ(WithHtmlExtension(u"C:\\v1.2\\page"), u"C:\\v1.2\\page");
}

TEST(HtmlFile, EveryLineEndsWithCrLfAndALoneCrStays) {
  EXPECT_EQ(HtmlFileBytes(u"a\nb\r\nc\rd\n\n", u""), "a\r\nb\r\nc\rd\r\n\r\n");
  EXPECT_EQ(HtmlFileBytes(u"\r\r\n\n\r", u""), "\r\r\n\r\n\r");
}

TEST(HtmlFile, TheMarkOnlyForUtf8InAnyLetterCase) {
  const std::string utf8 = "<p>\xED\x95\x9C\xEA\xB8\x80</p>";  // two Hangul syllables
  const Text html = u"<p>\uD55C\uAE00</p>";
  for (TextView charset : {u"utf-8", u"UTF-8", u"Utf-8"}) {
    EXPECT_EQ(HtmlFileBytes(html, charset), kMark + utf8) << ToUtf8(Text(charset));
  }
  for (TextView charset : {u"euc-kr", u"", u"utf8", u"utf-16"}) {
    EXPECT_EQ(HtmlFileBytes(html, charset), utf8) << ToUtf8(Text(charset));
  }
}

TEST(HtmlFile, SavesReplacingAnOlderFile) {
  ScopedTemporaryDirectory temp;
  const fs::path file = temp.path() / "page.htm";
  ScopedTemporaryDirectory::WriteBytes(file, std::string(1000, 'x'));
  EXPECT_EQ(SaveHtmlFile(TextFromPath(file), u"<p>a</p>\n", u"UTF-8"), HtmlSaveOutcome::kSaved);
  EXPECT_EQ(ScopedTemporaryDirectory::ReadBytes(file), kMark + "<p>a</p>\r\n");
}

TEST(HtmlFile, AFileThatCannotBeWrittenIsNotSaved) {
  ScopedTemporaryDirectory temp;
  EXPECT_EQ(SaveHtmlFile(TextFromPath(temp.path() / "missing" / "page.htm"), u"<p>", u""),
            HtmlSaveOutcome::kNotSaved);
  fs::create_directories(temp.path() / "taken.htm");
  EXPECT_EQ(SaveHtmlFile(TextFromPath(temp.path() / "taken.htm"), u"<p>", u""),
            HtmlSaveOutcome::kNotSaved);
  EXPECT_TRUE(fs::is_directory(temp.path() / "taken.htm"));
}

TEST(HtmlFile, AWriteCutShortSavesNothingAndKeepsADevice) {
  // The full device accepts the open and refuses every byte.
  const fs::path full = "/dev/full";
  if (!fs::exists(full)) GTEST_SKIP() << "no /dev/full here";
  EXPECT_EQ(SaveHtmlFile(TextFromPath(full), u"<p>a</p>", u""), HtmlSaveOutcome::kNotSaved);
  EXPECT_TRUE(fs::exists(full));
}

}  // namespace
}  // namespace qorva
