#include "paste/clipboard_paste.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "../control/control_scene.h"
#include "graphics/bitmap.h"
#include "graphics/test_images.h"
#include "paste/clipboard_images.h"
#include "support/encoding.h"
#include "support/file_path.h"
#include "support/image_files.h"
#include "support/temp_dir_fixture.h"
#include "support/working_folder.h"

namespace qorva {
namespace {

// Each test has a temporary directory of its own, working folder included: the tests run side by
// side.
class ClipboardPasteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = temp_.path() / "pictures";
    std::filesystem::create_directories(folder_);
    scene_.Load();
  }

  Bitmap Picture(int32_t width, int32_t height) {
    Bitmap bitmap = *Bitmap::Create(width, height, PixelFormat::kRgb24);
    bitmap.Fill(MakeArgb(255, 200, 30, 30));
    return bitmap;
  }
  // Writes `bitmap` as an image file named `name` in the test folder.
  Text PictureFile(const std::string& name, const Bitmap& bitmap) {
    Text path = TextFromPath(folder_ / name);
    Bitmap copy = bitmap;
    EXPECT_EQ(SaveImageFile(scene_.codec(), ExtractExt(name), path, kRotateNoneFlipX, copy,
                            kDefaultJpegQuality),
              ImageStatus::kOk);
    return path;
  }
  static Text ExtractExt(const std::string& name) {
    return FromUtf8(name.substr(name.rfind('.') + 1));
  }
  Text Paste() { return scene_.Call(u"getPasteHtml").value.text; }

  ScopedTemporaryDirectory temp_;
  std::filesystem::path folder_;
  ControlScene scene_;
};

TEST_F(ClipboardPasteTest, HtmlWinsOverTextAndIsKeptRaw) {
  std::string html =
      "Version:0.9\r\nStartHTML:0\r\n<html><body><!--StartFragment--><b>bold</b>"
      "<!--EndFragment--></body></html>";
  scene_.clipboard.SetRegistered(kHtmlFormatName, html + '\0');
  scene_.clipboard.SetUnicodeText(u"plain");
  Text result = Paste();
  EXPECT_NE(result.find(u"<b>bold</b>"), Text::npos) << ToUtf8(result);
  EXPECT_EQ(result.find(u"plain"), Text::npos);
  EXPECT_EQ(scene_.Call(u"getPasteHtmlEx").value.text, FromUtf8(html));
  EXPECT_EQ(scene_.Call(u"getHTMLFormatFromType").value.ui4, 6u);
  EXPECT_TRUE(scene_.Call(u"getPasteHtmlEx").value.text.starts_with(u"Version:"));
}

TEST_F(ClipboardPasteTest, TextBecomesHtmlAndForgetsTheLastHtml) {
  scene_.clipboard.SetRegistered(kHtmlFormatName, "<p>x</p>");
  Paste();
  scene_.clipboard.Clear();
  scene_.clipboard.SetUnicodeText(u"a  <b>");
  EXPECT_EQ(Paste(), u"a&nbsp;&nbsp;&lt;b&gt;");
  EXPECT_EQ(scene_.Call(u"getPasteHtmlEx").value.text, u"");
  EXPECT_EQ(scene_.Call(u"getHTMLFormatFromType").value.ui4, 0u);

  scene_.clipboard.SetUnicodeText(u"\u3000\u3000");
  EXPECT_EQ(Paste(), u"");
}

TEST_F(ClipboardPasteTest, AnsiTextIsDecodedFromTheCodePage) {
  scene_.clipboard.SetAnsiText(ToAnsi(scene_.system, u"한글 > x"));
  EXPECT_EQ(Paste(), u"한글 &gt; x");
}

TEST_F(ClipboardPasteTest, DroppedFilesGiveOneTagPerImage) {
  UpdateSettings([](ControlSettings& s) { s.imgDefaultWidth = 100; });
  Text png = PictureFile("x.PNG", Picture(400, 200));
  Text bmp = PictureFile("y.bmp", Picture(300, 60));
  Text notes = TextFromPath(folder_ / "notes.txt");
  std::ofstream(PathFromText(notes)) << "not a picture";
  scene_.clipboard.SetFiles({png, notes, bmp});
  Text result = Paste();
  std::regex tag(
      R"re(<img style="width:(\d+)px; height:(\d+)px;" border="0" src="file:///([^"]+)" alt="">)re");
  std::string text = ToUtf8(result);
  std::vector<std::smatch> tags;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), tag); it != std::sregex_iterator();
       ++it) {
    tags.push_back(*it);
  }
  ASSERT_EQ(tags.size(), 2u) << text;
  EXPECT_EQ(tags[0][1], "100");
  EXPECT_EQ(tags[0][2], "50");
  EXPECT_TRUE(std::regex_search(tags[0][3].str(), std::regex("qorvaTemp/[0-9a-f]{32}\\.png$")));
  EXPECT_EQ(tags[1][1], "100");
  EXPECT_EQ(tags[1][2], "20");
  EXPECT_TRUE(std::regex_search(tags[1][3].str(), std::regex("qorvaTemp/[0-9a-f]{32}\\.jpg$")));
  ImageDecodeResult converted = LoadImageFile(scene_.codec(), FromUtf8(tags[1][3].str()));
  ASSERT_TRUE(converted.image);
  EXPECT_EQ(converted.image->width(), 300);
}

TEST_F(ClipboardPasteTest, BitmapIsSavedAsJpegWithItsPlainPath) {
  scene_.clipboard.SetBitmap(Picture(64, 32));
  Text result = Paste();
  std::smatch m;
  std::string text = ToUtf8(result);
  ASSERT_TRUE(std::regex_match(
      text, m,
      std::regex(R"re(<img style="width:64px; height:32px;" border="0" src="([^"]+)" alt="">)re")))
      << text;
  EXPECT_EQ(m[1].str().find("file:///"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(PathFromText(FromUtf8(m[1].str()))));
  EXPECT_EQ(scene_.Call(u"canPasteImageFromClipBoard").value.i4, 1);
}

TEST_F(ClipboardPasteTest, NothingToReadGivesEmptyAndResetsTheLastPaste) {
  scene_.clipboard.SetRegistered(kHtmlFormatName, "<p>x</p>");
  Paste();
  scene_.clipboard.SetHeldElsewhere(true);
  EXPECT_EQ(Paste(), u"");
  EXPECT_EQ(scene_.control.lastPasteHtml, u"");
  EXPECT_EQ(scene_.control.pasteSourceType, 0u);
  EXPECT_EQ(scene_.Call(u"canPasteImageFromClipBoard").value.i4, 0);
  scene_.clipboard.SetHeldElsewhere(false);
  scene_.clipboard.Clear();
  EXPECT_EQ(Paste(), u"");
}

TEST_F(ClipboardPasteTest, ContainerModeRefusesAndKeepsTheLastPaste) {
  scene_.clipboard.SetRegistered(kHtmlFormatName, "<p>x</p>");
  Paste();
  Text before = scene_.control.lastPasteHtml;
  scene_.control.hasContainer = 1;
  EXPECT_EQ(Paste(), u"");
  EXPECT_EQ(scene_.control.lastPasteHtml, before);
  ASSERT_EQ(scene_.ui.shown().size(), 1u);
}

TEST_F(ClipboardPasteTest, OriginalHtmlCutsToTheFragmentOrTheElement) {
  std::string html =
      "Version:0.9\r\n<html><body><!--StartFragment--><TABLE><tr><td>a\u3000</td></tr></table>"
      "<!--EndFragment--></body></html>";
  scene_.clipboard.SetRegistered(kHtmlFormatName, html);
  EXPECT_EQ(scene_.Call(u"getOriginalHtml", {Variant::String(u"Fragment")}).value.text,
            u"<!--StartFragment--><TABLE><tr><td>a</td></tr></table><!--EndFragment-->");
  // "<TABLE" is there but "</TABLE>" is not: the whole HTML.
  Text whole = FromUtf8(html);
  std::erase(whole, u'\u3000');
  EXPECT_EQ(scene_.Call(u"getOriginalHtml", {Variant::String(u"table")}).value.text, whole);
  EXPECT_EQ(scene_.Call(u"getOriginalHtml", {Variant::String(u"td")}).value.text, u"<td>a</td>");
  EXPECT_EQ(scene_.control.lastPasteHtml, u"");  // untouched
  scene_.clipboard.Clear();
  EXPECT_EQ(scene_.Call(u"getOriginalHtml", {Variant::String(u"Fragment")}).value.text, u"");
}

TEST_F(ClipboardPasteTest, SaveWithATypeNamedByThePage) {
  scene_.clipboard.SetBitmap(Picture(300, 200));
  UpdateSettings([](ControlSettings& s) { s.jpegQuality = 40; });
  Text tag = scene_.Call(u"ShowImageSaveDlgFromClipboard", {Variant::String(u"PNG")}).value.text;
  std::string text = ToUtf8(tag);
  EXPECT_TRUE(std::regex_match(
      text,
      std::regex(
          R"re(<img style="width:300px; height:200px;" border="0" src="file:///.*qorvaTemp.([0-9a-f]{32})\.png" alt="\1\.png">)re")))
      << text;
  EXPECT_EQ(SettingsSnapshot().jpegQuality, 100);

  Text jpeg = scene_.Call(u"ShowImageSaveDlgFromClipboard", {Variant::String(u"bmp")}).value.text;
  EXPECT_NE(jpeg.find(u".jpg\" alt="), Text::npos) << ToUtf8(jpeg);
  EXPECT_TRUE(scene_.ui.sheetsShown().empty());
}

// The quality the user picks in the type sheet stays for the process: a later paste of
// a bitmap saves its JPEG with it.
TEST_F(ClipboardPasteTest, TheChosenJpegQualityCarriesToLaterPastes) {
  scene_.clipboard.SetBitmap(test_images::PhotoLike(200, 150, 7));
  auto pastedSize = [&] {
    std::smatch m;
    std::string tag = ToUtf8(Paste());
    if (!std::regex_search(tag, m, std::regex(R"re(src="([^"]+\.jpg)")re"))) return uintmax_t{0};
    return std::filesystem::file_size(PathFromText(FromUtf8(m[1].str())));
  };
  uintmax_t atFull = pastedSize();
  ASSERT_GT(atFull, 0u);
  // 50 is the lowest quality the sheet gives.
  scene_.ui.QueueImageSaveChoice(ImageSaveChoice{u"jpg", 50, 0, -1, -1});
  ASSERT_NE(scene_.Call(u"ShowImageSaveDlgFromClipboard", {Variant::String(u"")}).value.text, u"");
  uintmax_t atFifty = pastedSize();
  EXPECT_GT(atFifty, 0u);
  EXPECT_LT(atFifty * 2, atFull) << "quality 50 should make a far smaller file than 100";
}

TEST_F(ClipboardPasteTest, SaveWithTheUsersChoices) {
  scene_.clipboard.SetBitmap(Picture(300, 200));
  scene_.ui.QueueImageSaveChoice(ImageSaveChoice{u"jpg", 80, 90, -1, -1});
  scene_.ui.QueueImageSaveChoice(ImageSaveChoice{u"png", 100, 270, 150, 150});
  scene_.ui.QueueImageSaveChoice(std::nullopt);

  Text turned = scene_.Call(u"ShowImageSaveDlgFromClipboard", {Variant::String(u"")}).value.text;
  EXPECT_NE(turned.find(u"width:200px; height:300px;"), Text::npos) << ToUtf8(turned);
  EXPECT_EQ(SettingsSnapshot().jpegQuality, 80);
  ASSERT_EQ(scene_.ui.sheetsShown().size(), 1u);
  EXPECT_EQ(scene_.ui.sheetsShown()[0].caption, u"이미지 종류 선택");
  EXPECT_TRUE(std::filesystem::exists(PathFromText(scene_.ui.sheetsShown()[0].previewPath)));

  Text sized = scene_.Call(u"ShowImageSaveDlgFromClipboard", {Variant::String(u"")}).value.text;
  EXPECT_NE(sized.find(u"width:150px; height:150px;"), Text::npos) << ToUtf8(sized);
  std::smatch m;
  std::string text = ToUtf8(sized);
  ASSERT_TRUE(std::regex_search(text, m, std::regex(R"re(src="file:///([^"]+)")re")));
  ImageDecodeResult file = LoadImageFile(scene_.codec(), FromUtf8(m[1].str()));
  ASSERT_TRUE(file.image);
  EXPECT_EQ(file.image->width(), 200);  // the file keeps the turned picture's own size
  EXPECT_EQ(file.image->height(), 300);

  EXPECT_EQ(scene_.Call(u"ShowImageSaveDlgFromClipboard", {Variant::String(u"")}).value.text, u"");
  scene_.clipboard.Clear();
  EXPECT_EQ(scene_.Call(u"ShowImageSaveDlgFromClipboard", {Variant::String(u"png")}).value.text,
            u"");
}

}  // namespace
}  // namespace qorva
