#include "paste/samples/paste_samples.h"

#include <cstdio>
#include <string>

namespace qorva::samples {

namespace {

class Random {
 public:
  explicit Random(uint32_t seed) : state_(seed * 2654435761u + 1) {}
  uint32_t Next(uint32_t bound) {
    state_ = state_ * 1103515245u + 12345u;
    return (state_ >> 8) % bound;
  }

 private:
  uint32_t state_;
};

Text W(const std::string& ascii) { return Widen(ascii); }
std::string N(size_t n) { return std::to_string(n); }

const char* const kWords[] = {"quarterly", "report", "표",   "문서",    "the",  "figures", "grew",
                              "목록",      "and",    "fell", "Ünïcode", "plan", "review"};

Text Words(Random& random, size_t count) {
  Text out;
  for (size_t i = 0; i < count; ++i) {
    if (i) out += u' ';
    const char* word = kWords[random.Next(sizeof kWords / sizeof kWords[0])];
    // The Korean and accented words are UTF-8 in the source; widen them properly.
    std::string bytes(word);
    Text unit;
    for (size_t j = 0; j < bytes.size();) {
      unsigned char c = static_cast<unsigned char>(bytes[j]);
      if (c < 0x80) {
        unit += c;
        ++j;
      } else if ((c & 0xE0) == 0xC0) {
        unit += static_cast<char16_t>(((c & 0x1F) << 6) | (bytes[j + 1] & 0x3F));
        j += 2;
      } else {
        unit += static_cast<char16_t>(((c & 0x0F) << 12) | ((bytes[j + 1] & 0x3F) << 6) |
                                      (bytes[j + 2] & 0x3F));
        j += 3;
      }
    }
    out += unit;
  }
  return out;
}

}  // namespace

Text WithClipboardHeader(const Text& html) {
  return u"Version:0.9\r\nStartHTML:0000000105\r\nEndHTML:0000009999\r\n"
         u"StartFragment:0000000141\r\nEndFragment:0000009963\r\n" +
         html;
}

Text WordDocument(size_t paragraphs, size_t pictures, uint32_t seed) {
  Random random(seed);
  Text out =
      u"<html xmlns:v=\"urn:schemas-microsoft-com:vml\"\r\n"
      u"xmlns:o=\"urn:schemas-microsoft-com:office:office\"\r\n"
      u"xmlns:w=\"urn:schemas-microsoft-com:office:word\"\r\n"
      u"xmlns=\"http://www.w3.org/TR/REC-html40\">\r\n\r\n<head>\r\n"
      u"<meta http-equiv=Content-Type content=\"text/html; charset=utf-8\">\r\n"
      u"<meta name=ProgId content=Word.Document>\r\n"
      u"<style>\r\n<!--\r\n /* Font Definitions */\r\n @font-face\r\n\t{font-family:Batang;}\r\n"
      u" /* Style Definitions */\r\n p.MsoNormal, li.MsoNormal, div.MsoNormal\r\n"
      u"\t{margin:0cm;\r\n\tmargin-bottom:.0001pt;\r\n\tfont-size:10.0pt;\r\n"
      u"\tmso-fareast-font-family:Batang;}\r\n"
      u"p.MsoListParagraph, li.MsoListParagraph, div.MsoListParagraph\r\n"
      u"\t{margin-left:36.0pt;\r\n\tmso-add-space:auto;}\r\n"
      u"p.MsoListParagraphCxSpFirst\r\n\t{margin-top:0cm;}\r\n"
      u"span.SpellE\r\n\t{mso-style-name:\"\";}\r\n"
      u"@page WordSection1\r\n\t{size:595.3pt 841.9pt;}\r\n"
      u" /* Page Definitions */\r\n div.WordSection1\r\n\t{page:WordSection1;}\r\n-->\r\n"
      u"</style>\r\n</head>\r\n\r\n<body lang=KO style='tab-interval:40.0pt'>\r\n"
      u"<!--StartFragment-->\r\n\r\n";
  size_t pictureEvery = pictures ? paragraphs / pictures : 0;
  size_t pictureCount = 0;
  for (size_t i = 0; i < paragraphs; ++i) {
    uint32_t kind = random.Next(10);
    if (pictureEvery && i % pictureEvery == 0 && pictureCount < pictures) {
      ++pictureCount;
      std::string n = N(pictureCount * 2);
      out +=
          W("<p class=MsoNormal><span lang=EN-US><!--[if gte vml 1]><v:shape id=\"_x0000_i10" + n +
            "\" type=\"#_x0000_t75\" style='width:120pt;height:90pt'>\r\n"
            " <v:imagedata src=\"file:///C:/Users/x/AppData/Local/Temp/msohtmlclip1/01/"
            "clip_image00" +
            n +
            ".png\" o:title=\"\"/>\r\n</v:shape><![endif]--><![if !vml]><img width=160 "
            "height=120\r\nsrc=\"file:///C:/Users/x/AppData/Local/Temp/msohtmlclip1/01/"
            "clip_image00" +
            n + ".jpg\" v:shapes=\"_x0000_i10" + n + "\"><![endif]></span></p>\r\n\r\n");
    } else if (kind < 2) {
      out +=
          u"<p class=MsoListParagraphCxSpFirst style='text-indent:-18.0pt;mso-list:l0 level1 "
          u"lfo1'><![if !supportLists]><span lang=EN-US>·<span style='font:7.0pt \"Times New "
          u"Roman\"'>&nbsp;&nbsp; </span></span><![endif]><span lang=EN-US>" +
          Words(random, 4) + u"</span></p>\r\n\r\n";
    } else if (kind == 2) {
      out +=
          u"<table class=MsoNormalTable border=1 cellspacing=0 cellpadding=0>\r\n <tr>\r\n  "
          u"<td width=100 valign=top style='border:solid windowtext 1.0pt'>\r\n  <p "
          u"class=MsoNormal>" +
          Words(random, 2) + u"</p>\r\n  </td>\r\n </tr>\r\n</table>\r\n\r\n";
    } else if (kind == 3) {
      out += u"<p class=MsoNormal style='margin-left:10.0pt'><b><span lang=EN-US>" +
             Words(random, 3) + u"</span></b><o:p></o:p></p>\r\n\r\n";
    } else {
      out += u"<p class=MsoNormal><span lang=EN-US>" + Words(random, 8) +
             u"<o:p></o:p></span></p>\r\n\r\n";
    }
  }
  out += u"<!--EndFragment-->\r\n</body>\r\n\r\n</html>\r\n";
  return out;
}

Text ExcelDocument(size_t rows, size_t columns, size_t classes, uint32_t seed) {
  Random random(seed);
  if (classes == 0) classes = 1;
  Text out =
      u"<html xmlns:o=\"urn:schemas-microsoft-com:office:office\"\r\n"
      u"xmlns:x=\"urn:schemas-microsoft-com:office:excel\"\r\n"
      u"xmlns=\"http://www.w3.org/TR/REC-html40\">\r\n\r\n<head>\r\n"
      u"<meta http-equiv=Content-Type content=\"text/html; charset=utf-8\">\r\n"
      u"<meta name=ProgId content=Excel.Sheet>\r\n<style>\r\n<!--table\r\n"
      u"\t{mso-displayed-decimal-separator:\"\\.\";}\r\n@page\r\n"
      u"\t{margin:.75in .7in .75in .7in;}\r\ntr\r\n\t{mso-height-source:auto;}\r\n"
      u"col\r\n\t{mso-width-source:auto;}\r\ntd\r\n\t{padding-top:1px;\r\n\tcolor:black;\r\n"
      u"\tfont-size:11.0pt;\r\n\tborder:none;}\r\n";
  const char* const kBorders[] = {"border:.5pt hairline windowtext;",
                                  "border-top:.5pt dot-dot-dash windowtext;",
                                  "border-top:none;border-left:none;",
                                  "border-right:.5pt solid windowtext;border-bottom:none;",
                                  "background:#FFFF00;",
                                  "border-bottom:.5pt hairline;border-left:1pt dot-dot-dash;"};
  for (size_t c = 0; c < classes; ++c) {
    out += W(".xl" + N(65 + c) + "\r\n\t{mso-style-parent:style0;\r\n\t" +
             kBorders[random.Next(6)] + "\r\n\tmso-number-format:General;}\r\n");
  }
  out +=
      u"-->\r\n</style>\r\n</head>\r\n\r\n<body link=\"#0563C1\" vlink=\"#954F72\">\r\n\r\n"
      u"<table border=0 cellpadding=0 cellspacing=0 width=320 style='border-collapse:\r\n "
      u"collapse;width:240pt'>\r\n<!--StartFragment-->\r\n";
  for (size_t c = 0; c < columns; ++c) out += u" <col width=64 style='width:48pt'>\r\n";
  for (size_t r = 0; r < rows; ++r) {
    out += u" <tr height=20 style='height:15.0pt'>\r\n";
    for (size_t c = 0; c < columns; ++c) {
      std::string cls = "xl" + N(65 + random.Next(static_cast<uint32_t>(classes)));
      uint32_t shape = random.Next(4);
      Text words = Words(random, 1 + random.Next(3));
      if (shape == 0) {
        out += W("  <td height=20 class=" + cls + " width=64 style='height:15.0pt;width:48pt'>") +
               words + u"</td>\r\n";
      } else if (shape == 1) {
        out += W("  <td class=" + cls + ">") + words + u"</td>\r\n";
      } else if (shape == 2) {
        out += W("  <td class=" + cls + " align=right>" + N(r * columns + c)) + u"</td>\r\n";
      } else {
        out += W("  <td class=" + cls + " style='border-top:none;border-left:\r\n  none'>") +
               words + u"</td>\r\n";
      }
    }
    out += u" </tr>\r\n";
  }
  out += u"<!--EndFragment-->\r\n</table>\r\n\r\n</body>\r\n\r\n</html>\r\n";
  return out;
}

Text ExcelDocumentOfSize(size_t bytes, uint32_t seed) {
  // One row of eight cells is about 545 bytes.
  size_t rows = bytes / 545 + 1;
  return ExcelDocument(rows, 8, 60, seed);
}

Text PowerPointDocument(uint32_t seed) {
  Random random(seed);
  return u"<html xmlns:v=\"urn:schemas-microsoft-com:vml\">\r\n<head>\r\n"
         u"<meta name=ProgId content=PowerPoint.Slide>\r\n<style>\r\n<!--\r\n.O\r\n\t{color:"
         u"black;}\r\n-->\r\n</style>\r\n</head>\r\n<body lang=KO>\r\n<!--StartFragment-->"
         u"<div class=O style='mso-line-spacing:\"100 20 0\"'><span lang=EN-US>" +
         Words(random, 6) +
         u"</span></div><!--[if gte vml 1]><v:rect style='width:10pt'></v:rect><![endif]-->"
         u"<!--EndFragment-->\r\n</body>\r\n</html>\r\n";
}

Text ParagraphClassDocument(size_t paragraphs, uint32_t seed, const Text& imageFolder) {
  Random random(seed);
  Text out =
      u"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
      u"<style type=\"text/css\"><!--p.0{margin:0;font-family:\"Gulim\";mso-fareast-font-family:"
      u"Gulim;}\r\np.1{text-align:center;background:#ffffff;}\r\nspan.x{color:red;}\r\n--></style>"
      u"</head><body><!--StartFragment-->";
  for (size_t i = 0; i < paragraphs; ++i) {
    uint32_t kind = random.Next(5);
    if (kind == 0) {
      out += u"<p class=\"0\" style=\"line-height:160%\">" + Words(random, 5) + u"</p>";
    } else if (kind == 1 && !imageFolder.empty()) {
      out +=
          u"<p class=\"1\"><!--[if gte vml 1]><v:shape style='width:90pt;height:60pt'>"
          u"<v:imagedata src=\"x.wmz\"/></v:shape><![endif]--><img width=120 height=\"60pt\" "
          u"src=\"" +
          imageFolder + u"/clip_image00" + W(N(i % 3)) + u".png\" v:shapes=\"_x0000_i1025\"></p>";
    } else if (kind == 2) {
      out += u"<p class=\"1\"><![if !supportEmptyParas]>&nbsp;<![endif]></p>";
    } else {
      out += u"<p class=\"0\">" + Words(random, 7) + u"</p>";
    }
  }
  out += u"<!--EndFragment--></body></html>";
  return out;
}

Text OfficeNamespaceDocument(size_t rows, uint32_t seed) {
  Random random(seed);
  Text out =
      u"<html xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
      u"xmlns:m=\"http://schemas.microsoft.com/office/2004/12/omml\">\r\n<head>\r\n<style>\r\n"
      u"<!--tr\r\n\t{mso-height-source:auto;}\r\ntd\r\n\t{padding:0px;}\r\n.cell1\r\n\t{border:"
      u".5pt hairline windowtext;border-left:none;}\r\n.cell2\r\n\t{border-right:none;color:"
      u"blue;}\r\n-->\r\n</style>\r\n</head>\r\n<body>\r\n<!--StartFragment--><table>\r\n";
  for (size_t r = 0; r < rows; ++r) {
    out += u"<tr><td class=cell" + W(N(1 + random.Next(2))) + u">" + Words(random, 2) +
           u"</td><td class=cell2 style='border-left:none'>" + Words(random, 1) + u"</td></tr>\r\n";
  }
  out += u"</table><!--EndFragment-->\r\n</body>\r\n</html>";
  return out;
}

Text BrowserSelection(size_t paragraphs, uint32_t seed) {
  Random random(seed);
  if (paragraphs <= 1) {
    return u"<HTML><HEAD></HEAD><BODY><P><!--StartFragment-->" + Words(random, 5) +
           u"<!--EndFragment--></P></BODY></HTML>";
  }
  Text out = u"<html><body>\r\n<!--StartFragment--><blockquote type=cite>";
  for (size_t i = 0; i < paragraphs; ++i) {
    out += u"<p class=q>" + Words(random, 4) + u"</p>";
  }
  out +=
      u"<img src=\"data:image/png;base64,iVBORw0KGgo=\"></blockquote><!--EndFragment-->\r\n"
      u"</body></html>";
  return out;
}

}  // namespace qorva::samples
