// The word-processor, spreadsheet, type-4 and type-5 pipelines end to end, each case run
// through the production and the literal versions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "graphics/bitmap_drawing.h"
#include "paste/image_resize.h"
#include "paste/oracle/literal_paste.h"
#include "paste/paragraph_class_cleanup.h"
#include "paste/paste_cleanup.h"
#include "paste/paste_scene.h"
#include "platform/native_image_codec.h"
#include "support/file_path.h"
#include "support/image_files.h"

namespace qorva {
namespace {

std::string U8(const Text& text) { return ToUtf8(text); }

// Cleans `html` in both versions on scenes that may carry state from earlier pastes.
void ExpectCleaned(PasteScene& fast, PasteScene& slow, const Text& html, const Text& expected,
                   uint32_t type, const char* name) {
  Text a = html, b = html;
  EXPECT_EQ(CleanPastedHtml(a, fast.context), type) << name;
  EXPECT_EQ(oracle::CleanPastedHtml(b, slow.context), type) << name << " (literal)";
  EXPECT_EQ(U8(a), U8(expected)) << name;
  EXPECT_EQ(U8(b), U8(expected)) << name << " (literal)";
}

const Text kWordHead =
    u"<meta name=ProgId content=Word.Document><style>/* Style Definitions */\r\n"
    u" p.MsoNormal, li.MsoNormal, div.MsoNormal\r\n\t{margin:0cm;}\r\n"
    u"/* Page Definitions */</style>";

TEST(OfficePipelines, Word) {
  struct WordCase {
    const char* name;
    Text html;
    Text expected;
  };
  const WordCase cases[] = {
      {"picture keeps only its plain image",
       kWordHead +
           u"<!--StartFragment--><p class=MsoNormal><!--[if gte vml 1]><v:shape id=a>"
           u"<v:imagedata src=\"x/clip_image001.png\"/></v:shape><![endif]--><![if !vml]><img "
           u"width=100 height=50 src=\"x/clip_image002.jpg\"><![endif]></p><!--EndFragment-->",
       u"<p  style='margin:0cm;'><img width=100 height=50 src=\"x/clip_image002.jpg\"></p>"},
      {"list bullet stays, its markers go",
       kWordHead + u"<!--StartFragment--><p class=MsoNormal><![if !supportLists]><span>1.<span> "
                   u"</span></span><![endif]>item</p><!--EndFragment-->",
       u"<p  style='margin:0cm;'><span>1.<span> </span></span>item</p>"},
      {"image inside a span closes itself",
       kWordHead + u"<!--StartFragment--><span><![if !vml]><img src=a><![endif]></span>"
                   u"<!--EndFragment-->",
       u"<span><img src=a /></span>"},
  };
  for (const WordCase& c : cases) {
    PasteScene fast, slow;
    ExpectCleaned(fast, slow, c.html, c.expected, kPasteSourceWord, c.name);
  }
}

TEST(OfficePipelines, WordWithoutFragmentOrStyles) {
  PasteScene fast, slow;
  // Without fragment markers the head and the VML block stay; VML tags are renamed.
  Text whole = kWordHead +
               u"<p class=MsoNormal><!--[if gte vml 1]><v:shape a></v:shape>"
               u"<![endif]--></p>";
  ExpectCleaned(fast, slow, whole,
                u"<meta name=ProgId content=Word.Document><style>/* Style Definitions */\r\n"
                u" p.MsoNormal, li.MsoNormal, div.MsoNormal\r\n\t{margin:0cm;}\r\n"
                u"/* Page Definitions */</style><p  style='margin:0cm;'><!--[if gte vml 1]>"
                u"<span a></span><![endif]--></p>",
                kPasteSourceWord, "no fragment");
  // The next paste without a style sheet inlines what this one parsed.
  ExpectCleaned(fast, slow,
                u"<meta name=ProgId content=Word.Document><!--StartFragment--><p "
                u"class=MsoNormal>b</p><!--EndFragment-->",
                u"<p  style='margin:0cm;'>b</p>", kPasteSourceWord, "styles of the last paste");
}

const Text kExcelHead =
    u"<meta name=ProgId content=Excel.Sheet><style><!--table{x:1;}\r\n@page\r\n\t{margin:0;}"
    u"\r\ntd\r\n\t{padding-top:1px;}\r\n.xl65\r\n\t{color:red;}\r\n.xl66\r\n\t{border-top:.5pt "
    u"dot-dot-dash windowtext;}\r\n--></style></head><body>";

TEST(OfficePipelines, Excel) {
  struct ExcelCase {
    const char* name;
    Text html;
    Text expected;
  };
  const ExcelCase cases[] = {
      {"table with column group and body on one line",
       kExcelHead + u"<table x>\r\n<col width=64>\r\n<tr height=20>\r\n<td class=xl65>1</td>\r\n"
                    u"</tr>\r\n</table>\r\n</body>",
       u"<table x><colgroup><col width=64><tbody><tr height=20><td  style='padding-top:1px;"
       u"color:red;'>1</td></tr></tbody></table>"},
      {"dot-dot-dash border becomes dotted",
       kExcelHead + u"<table><tr ><td class=xl66 x>a</td></tr></table></body>",
       u"<table><tbody><tr ><td x style='padding-top:1px;border-top:.5pt dotted windowtext;'>"
       u"a</td></tr></tbody></table>"},
      {"no table keeps head and body text", kExcelHead + u"\r\n<p class=xl65>t</p>\r\n</body>",
       u"<meta name=ProgId content=Excel.Sheet><style><!--table{x:1;}@page\t{margin:0;}td\t"
       u"{padding-top:1px;}.xl65\t{color:red;}.xl66\t{border-top:.5pt dot-dot-dash windowtext;}"
       u"--></style></head><body><p  style='padding-top:1px;color:red;'>t</p></body>"},
  };
  for (const ExcelCase& c : cases) {
    PasteScene fast, slow;
    ExpectCleaned(fast, slow, c.html, c.expected, kPasteSourceExcel, c.name);
  }
}

TEST(OfficePipelines, ParagraphClassRecordsFallbackImages) {
  const Text head =
      u"<style type=\"text/css\"><!--p.0{font-family:\"Gulim\";}\r\np.1{a:1;background:"
      u"#ffffff;}--></style></head>";
  const Text body =
      u"<p class=\"0\" style=\"margin:0\">x</p><p class=\"1\"><!--[if gte vml 1]><v:shape>"
      u"</v:shape><![endif]--><img width=120 height=\"37.5pt\" src=\"file:///c:/tmp/a.png\">"
      u"</p><p><![if !supportEmptyParas]>&nbsp;<![endif]>mso-x</p>";
  // With a block removed, the VML end markers go first, so an empty paragraph keeps its
  // non-breaking space.
  PasteScene fast, slow;
  ExpectCleaned(fast, slow, head + u"<!--StartFragment-->" + body + u"<!--EndFragment-->",
                u"<p  style=\"font-family:'Gulim';margin:0\">x</p><p  style='a:1;'><img "
                u"width=120 height=\"37.5pt\" src=\"file:///c:/tmp/a.png\"></p><p>&nbsp;x</p>",
                kPasteSourceParagraphClass, "fragment");
  ASSERT_EQ(fast.fallbackImageTags.size(), 1u);
  EXPECT_EQ(U8(fast.fallbackImageTags[0]),
            "<img width=120 height=\"37.5pt\" src=\"file:///c:/tmp/a.png\">");
  EXPECT_EQ(slow.fallbackImageTags, fast.fallbackImageTags);

  // Without fragment markers the VML block stays and nothing is recorded.
  PasteScene fast2, slow2;
  fast2.fallbackImageTags = {u"left over"};
  Text a = head + body, b = head + body;
  CleanPastedHtml(a, fast2.context);
  oracle::CleanPastedHtml(b, slow2.context);
  EXPECT_EQ(U8(a), U8(b));
  EXPECT_NE(a.find(u"<!--[if gte vml 1]>"), Text::npos);
  EXPECT_TRUE(fast2.fallbackImageTags.empty());
}

TEST(OfficePipelines, OfficeNamespaceLineFix) {
  const Text html =
      u"<html xmlns:m=\"http://schemas.microsoft.com/office/2004/12/omml\"><style><!--tr\r\n"
      u"\t{h:1;}\r\ntd{p:0;}\r\n.c{border:.5pt hairline windowtext;border-left:none;}--></style>"
      u"</head><!--StartFragment--><td class=c>a</td>\r\n<td style='border-right:none;"
      u"border-left:none;mso-bidi-font-weight:bold'>b</td><!--EndFragment-->";
  PasteScene fast(1), slow(1);
  ExpectCleaned(fast, slow, html,
                u"<td  style='p:0;border:.5pt dotted windowtext;'>a</td><td style='border-left:"
                u"none;font-weight:bold'>b</td>",
                kPasteSourceOfficeNamespace, "line fix set");
  PasteScene fast0(0), slow0(0);
  ExpectCleaned(fast0, slow0, html,
                u"<td  style='p:0;border:.5pt dotted windowtext;border-left:none;'>a</td><td "
                u"style='border-right:none;border-left:none;font-weight:bold'>b</td>",
                kPasteSourceOfficeNamespace, "line fix clear");
}

TEST(OfficePipelines, StripsMsoPrefixes) {
  Text fast = u"mso-bidi-font-weight:bold;mso-fareast-font-family:Batang;mso-spacerun:yes";
  Text slow = fast;
  StripMsoPrefixes(fast);
  oracle::StripMsoPrefixes(slow);
  EXPECT_EQ(U8(fast), "font-weight:bold;font-family:Batang;spacerun:yes");
  EXPECT_EQ(slow, fast);
}

TEST(OfficePipelines, RecordsOnlyImagesRightAfterABlock) {
  std::vector<Text> tags;
  RecordFallbackImage(tags, u"<img src=a>rest");
  RecordFallbackImage(tags, u"<![if !vml]><img src=b>");
  RecordFallbackImage(tags, u" <img src=c>");
  RecordFallbackImage(tags, u"<img src=d");
  ASSERT_EQ(tags.size(), 1u);
  EXPECT_EQ(U8(tags[0]), "<img src=a>");
}

TEST(OfficePipelines, ReadsImageTags) {
  auto folder = std::filesystem::temp_directory_path() / "qorva_paste_tag_test";  // lower case
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "clip_image002.png") << "x";
  const Text path = FromUtf8((folder / "clip_image002.png").string());
  struct TagCase {
    const char* name;
    Text tag;
    Text path;
    int32_t width;
    int32_t height;
  };
  const TagCase cases[] = {
      {"pixels and an existing file",
       u"<img width=120 height=90 src=\"file:///" + path + u"\" v:shapes=\"_x0000_i1025\">", path,
       120, 90},
      {"points", u"<img height=\"37.5pt\" width=\"75pt\">", u"", 100, 49},
      {"later field wins, apostrophes give 0", u"<img width=5 width='7' height=-3>", u"", 0, -3},
      {"missing file", u"<img src=\"file:///nowhere/x.png\" width=1 height=1>", u"", 1, 1},
      {"no digits", u"<img width=px height=>", u"", 0, 0},
      {"huge value is held", u"<img width=99999999999 height=99999999999pt>", u"", 2147483647,
       2147483647},
  };
  for (const TagCase& c : cases) {
    ImageTagValues values = ParseImageTag(c.tag);
    EXPECT_EQ(U8(values.path), U8(c.path)) << c.name;
    EXPECT_EQ(values.width, c.width) << c.name;
    EXPECT_EQ(values.height, c.height) << c.name;
    oracle::LiteralImageTag literal = oracle::ParseImageTag(c.tag);
    EXPECT_EQ(U8(literal.path), U8(c.path)) << c.name << " (literal)";
    EXPECT_EQ(literal.width, c.width) << c.name << " (literal)";
    EXPECT_EQ(literal.height, c.height) << c.name << " (literal)";
  }
  std::filesystem::remove_all(folder);
}

// A folder of real picture files, lower-case so that a tag's lower-cased path finds it.
class PictureFolder {
 public:
  PictureFolder() : codec_(CreateNativeImageCodec()) {
    // One folder per test: the tests may run side by side.
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    folder_ = std::filesystem::temp_directory_path() / ("qorva_paste_" + name);
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  ~PictureFolder() { std::filesystem::remove_all(folder_); }

  Text Picture(const std::string& name, int32_t width, int32_t height) {
    std::optional<Bitmap> bitmap = Bitmap::Create(width, height, PixelFormat::kRgb24);
    FillRect(*bitmap, {0, 0, width, height}, 0xFF2040A0u);
    Text path = Path(name);
    EXPECT_EQ(SaveImageFile(*codec_, ExtractExtensionOf(name), path, kRotateNoneFlipX, *bitmap,
                            kDefaultJpegQuality),
              ImageStatus::kOk);
    return path;
  }
  Text Path(const std::string& name) const { return TextFromPath(folder_ / name); }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  std::pair<int32_t, int32_t> SizeOf(const Text& path) const {
    ImageDecodeResult decoded = LoadImageFile(*codec_, path);
    if (!decoded.image) return {0, 0};
    return {decoded.image->width(), decoded.image->height()};
  }
  const ImageCodec& codec() const { return *codec_; }

 private:
  static Text ExtractExtensionOf(const std::string& name) {
    return FromUtf8(name.substr(name.rfind('.') + 1));
  }
  std::unique_ptr<ImageCodec> codec_;
  std::filesystem::path folder_;
};

TEST(OfficePipelines, ResizesImageFilesInPlace) {
  PictureFolder pictures;
  Text png = pictures.Picture("a.png", 40, 30);
  EXPECT_TRUE(ResizeImageFileInPlace(pictures.codec(), png, 120, 90, kDefaultJpegQuality));
  EXPECT_EQ(pictures.SizeOf(png), std::make_pair(120, 90));
  Text jpg = pictures.Picture("b.jpg", 10, 10);
  EXPECT_TRUE(ResizeImageFileInPlace(pictures.codec(), jpg, 5, 7, kDefaultJpegQuality));
  EXPECT_EQ(pictures.SizeOf(jpg), std::make_pair(5, 7));
  EXPECT_EQ(pictures.Names(), (std::vector<std::string>{"a.png", "b.jpg"})) << "nothing aside";

  // What cannot be decoded keeps its name and its bytes.
  Text notAPicture = pictures.Path("c.png");
  std::ofstream(PathFromText(notAPicture), std::ios::binary) << "not a picture";
  EXPECT_FALSE(ResizeImageFileInPlace(pictures.codec(), notAPicture, 10, 10, kDefaultJpegQuality));
  std::ifstream in(PathFromText(notAPicture), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "not a picture");
  EXPECT_FALSE(ResizeImageFileInPlace(pictures.codec(), pictures.Path("missing.png"), 10, 10,
                                      kDefaultJpegQuality));
  EXPECT_FALSE(ResizeImageFileInPlace(pictures.codec(), png, 0, 10, kDefaultJpegQuality))
      << "no empty picture";
  EXPECT_EQ(pictures.SizeOf(png), std::make_pair(120, 90));
  EXPECT_EQ(pictures.Names(), (std::vector<std::string>{"a.png", "b.jpg", "c.png"}));
}

TEST(OfficePipelines, ParagraphClassPasteRedrawsItsFallbackImages) {
  PictureFolder pictures;
  Text picture = pictures.Picture("clip_image002.png", 16, 12);
  Text html =
      u"<style type=\"text/css\"><!--p.0{a:1;}--></style></head><!--StartFragment-->"
      u"<p class=\"0\"><!--[if gte vml 1]><v:shape></v:shape><![endif]--><img "
      u"width=120 height=\"37.5pt\" src=\"file:///" +
      picture + u"\" v:shapes=\"_x0000_i1025\"></p><!--EndFragment-->";
  PasteScene scene;
  scene.context.imageCodec = &pictures.codec();
  Text cleaned = html;
  EXPECT_EQ(CleanPastedHtml(cleaned, scene.context), kPasteSourceParagraphClass);
  EXPECT_EQ(pictures.SizeOf(picture), std::make_pair(120, 49));
  EXPECT_EQ(pictures.Names(), std::vector<std::string>{"clip_image002.png"});

  // Without a codec the tag is recorded but the file stays as it is.
  Text other = pictures.Picture("clip_image002.png", 16, 12);
  PasteScene plain;
  Text again = html;
  CleanPastedHtml(again, plain.context);
  EXPECT_EQ(plain.fallbackImageTags.size(), 1u);
  EXPECT_EQ(pictures.SizeOf(other), std::make_pair(16, 12));
  EXPECT_EQ(U8(again), U8(cleaned));
}

}  // namespace
}  // namespace qorva
