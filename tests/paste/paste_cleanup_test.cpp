// The driver, the generic pipeline and the shared building blocks, each case run
// through the production and the literal clean-up.
#include "paste/paste_cleanup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "paste/oracle/literal_paste.h"
#include "paste/paste_scene.h"
#include "support/working_folder.h"

namespace qorva {
namespace {

struct Case {
  const char* name;
  const char16_t* input;
  const char16_t* expected;
};

std::string U8(const Text& text) { return ToUtf8(text); }

TEST(PasteCleanup, GenericPipeline) {
  const Case cases[] = {
      {"one-paragraph browser selection",
       u"Version:0.9\r\nStartHTML:0000000105\r\n<HTML><HEAD></HEAD><BODY><P><!--StartFragment-->"
       u"text<!--EndFragment--></P></BODY></HTML>",
       u"text"},
      {"paragraph with a class becomes a span",
       u"<body><p class=x><!--StartFragment-->bold<!--EndFragment--></p></body>",
       u"<span class=x>bold</span>"},
      {"upper-case paragraph becomes an upper-case span",
       u"<BODY><P class=x><!--StartFragment-->bold<!--EndFragment--></P></BODY>",
       u"<SPAN class=x>bold</SPAN>"},
      {"several paragraphs lose their line breaks only",
       u"<body>\r\n<!--StartFragment--><p>a</p><p>b</p><!--EndFragment-->\r\n</body>",
       u"<p>a</p><p>b</p>"},
      {"no body and no fragment: only the final removals",
       u"<div><![endif]>x<img src=\"data:image/png;base64,iVBORw0KGgo=\"></div>",
       u"<div>x<img src=\"data:image/png;base64,iVBORw0KGgo=\"></div>"},
      {"end tag only before the body: everything after the opening tag",
       u"</body><body class=a><p>x</p>", u"<p>x</p>"},
      {"body without any end tag stays whole", u"<body class=a><p>x</p>",
       u"<body class=a><p>x</p>"},
      {"block quote: from the first paragraph to the last paragraph end",
       u"<body><!--StartFragment--><blockquote><p class=q>one</p><p>two</p></blockquote>"
       u"<!--EndFragment--></body>",
       u"one</p><p>two"},
      {"block quote whose first paragraph never ends keeps the whole text",
       u"<body><blockquote><p>one</blockquote></body>",
       u"<body><blockquote><p>one</blockquote></body>"},
      {"a block quote after the last body end still counts",
       u"<body>\r\n<!--c--><p>a</p></body><blockquote>", u"a"},
      {"block quote without paragraphs keeps the body content",
       u"<body><blockquote>q</blockquote></body>", u"<blockquote>q</blockquote>"},
  };
  for (const Case& c : cases) {
    PasteScene fast, slow;
    Text a = c.input, b = c.input;
    EXPECT_EQ(CleanPastedHtml(a, fast.context), kPasteSourceGeneric) << c.name;
    oracle::CleanPastedHtml(b, slow.context);
    EXPECT_EQ(U8(a), U8(Text(c.expected))) << c.name;
    EXPECT_EQ(U8(b), U8(Text(c.expected))) << c.name << " (literal)";
  }
}

TEST(PasteCleanup, SourceTypesInTheirOrder) {
  struct TypeCase {
    const char* name;
    const char16_t* html;
    uint32_t type;
  };
  const TypeCase cases[] = {
      {"word", u"<meta name=ProgId content=Word.Document>", 1},
      {"excel before type 4", u"><!--p.<meta name=ProgId content=Excel.Sheet>", 2},
      {"powerpoint", u"<meta name=ProgId content=PowerPoint.Slide>", 3},
      {"type 4 style element", u"<style type=\"text/css\"><!--p.0{}", 4},
      {"type 5 math namespace",
       u"<html xmlns:m=\"http://schemas.microsoft.com/office/2004/12/omml\">", 5},
      {"type 5 needs the leading space",
       u"<html\txmlns:m=\"http://schemas.microsoft.com/office/2004/12/omml\">", 6},
      {"word identifier in another case", u"<meta name=progid content=Word.Document>", 6},
  };
  for (const TypeCase& c : cases) {
    EXPECT_EQ(DetectPasteSourceType(c.html), c.type) << c.name;
    PasteScene scene;
    Text html = c.html;
    EXPECT_EQ(oracle::CleanPastedHtml(html, scene.context), c.type) << c.name << " (literal)";
  }
}

TEST(PasteCleanup, BuildingBlocks) {
  {
    Text html = u"x<!--StartFragment-->A<!--EndFragment-->B<!--EndFragment-->y";
    EXPECT_TRUE(CutToFragment(html));
    EXPECT_EQ(U8(html), "A<!--EndFragment-->B");
    RemoveConditionalMarkers(html);
    EXPECT_EQ(U8(html), "AB");
  }
  {
    Text html = u"<!--EndFragment--><!--StartFragment-->x";
    EXPECT_FALSE(CutToFragment(html)) << "end marker only before the start";
    EXPECT_EQ(U8(html), "<!--EndFragment--><!--StartFragment-->x");
  }
  {
    Text html = u"a<![endif]-->b<!--[if gte vml 1]>v<![endif]-->c";
    std::vector<Text> following;
    EXPECT_TRUE(RemoveVmlBlocks(html, [&](TextView f) { following.emplace_back(f); }));
    EXPECT_EQ(U8(html), "abc") << "a stray end marker goes, the text around it stays";
    ASSERT_EQ(following.size(), 1u);
    EXPECT_EQ(U8(following[0]), "c");
  }
  {
    Text html = u"<!--[if gte vml 1]>only a start";
    EXPECT_FALSE(RemoveVmlBlocks(html));
    EXPECT_EQ(U8(html), "<!--[if gte vml 1]>only a start");
  }
  {
    // Removing one block joins text that forms the next block's start marker.
    Text html = u"<!--[if gte<!--[if gte vml 1]>x<![endif]--> vml 1]>y<![endif]-->z";
    Text literal = html;
    EXPECT_TRUE(RemoveVmlBlocks(html));
    oracle::RemoveVmlBlocks(literal);
    EXPECT_EQ(U8(html), "z");
    EXPECT_EQ(U8(html), U8(literal));
  }
  {
    Text html = u"<v:rect a><v:shadow b><v:shape c><v:imagedata src=x></v:shape></v:rect>";
    RenameVmlTags(html);
    EXPECT_EQ(U8(html), "<div a><hr b><span c><img border=0 src=x></span></div>");
  }
}

Text ReadFile(const Text& path) {
  std::ifstream in(std::filesystem::path(ToUtf8(path)), std::ios::binary);
  return FromUtf8(std::string(std::istreambuf_iterator<char>(in), {}));
}

TEST(PasteCleanup, FirstDataImageBecomesAWorkingFile) {
  PasteScene scene(1, 0xC1EA0001);
  Text html =
      u"<body><!--StartFragment--><img src=\"data:image/png;base64,iVBORw0KGgo=\">"
      u"<img src=\"data:image/png;base64,iVBORw0KGgo=\"><!--EndFragment--></body>";
  CleanPastedHtml(html, scene.context);
  const Text folder = WorkingFolderPath(kWorkingFolderName);
  const Text path = folder + u"c1ea0001" + Text(24, u'0') + u".png";
  EXPECT_EQ(U8(html), U8(u"<img src=\"" + path + u"\"><img src=\"" + path + u"\">"))
      << "every copy of the first value is replaced";
  EXPECT_EQ(ReadFile(path), FromUtf8("\x89PNG\r\n\x1a\n"));
}

TEST(PasteCleanup, SourcesThatAreNoBase64DataImageStay) {
  const Case cases[] = {
      // Split at its one comma, this used to become a file of garbage named "*.photo".
      {"plain source with one comma", u"<body><img src=\"photo,1.jpg\"></body>",
       u"<img src=\"photo,1.jpg\">"},
      {"data image that is not base64", u"<body><img src=\"data:image/svg+xml,<svg/>\"></body>",
       u"<img src=\"data:image/svg+xml,<svg/>\">"},
      {"unquoted data image", u"<body><img src=data:image/png;base64,AAAA alt=\"x\"></body>",
       u"<img src=data:image/png;base64,AAAA alt=\"x\">"},
      {"only the first source counts",
       u"<body><img src=\"a.png\"><img src=\"data:image/png;base64,AAAA\"></body>",
       u"<img src=\"a.png\"><img src=\"data:image/png;base64,AAAA\">"},
      {"a type that cannot be a file name",
       u"<body><img src=\"data:image/../../x;base64,AAAA\"></body>",
       u"<img src=\"data:image/../../x;base64,AAAA\">"},
  };
  for (const Case& c : cases) {
    PasteScene fast, slow;
    Text a = c.input, b = c.input;
    CleanPastedHtml(a, fast.context);
    oracle::CleanPastedHtml(b, slow.context);
    EXPECT_EQ(U8(a), U8(Text(c.expected))) << c.name;
    EXPECT_EQ(U8(b), U8(Text(c.expected))) << c.name << " (literal)";
  }
}

TEST(PasteCleanup, ApostropheDelimitedDataImage) {
  PasteScene scene(1, 0xC1EA0002);
  Text html = u"<body><img src='data:image/GIF;base64,R0lGODlh' alt=\"a\"></body>";
  CleanPastedHtml(html, scene.context);
  const Text path = WorkingFolderPath(kWorkingFolderName) + u"c1ea0002" + Text(24, u'0') + u".gif";
  EXPECT_EQ(U8(html), U8(u"<img src='" + path + u"' alt=\"a\">"));
  EXPECT_EQ(ReadFile(path), FromUtf8("GIF89a"));
}

}  // namespace
}  // namespace qorva
