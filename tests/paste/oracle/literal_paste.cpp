#include "paste/oracle/literal_paste.h"

#include <filesystem>

#include "paste/image_resize.h"
#include "paste/inline_images.h"
#include "paste/oracle/literal_text.h"
#include "support/file_path.h"

namespace qorva::oracle {

namespace {

const Text kStartFragment = u"<!--StartFragment-->";
const Text kEndFragment = u"<!--EndFragment-->";

// ----- the common insertion step, on a text whose inserted units are marked ---------

bool NameUnit(char16_t u) {
  return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') ||
         u == u'-' || u == u'_' || u >= 0x80;
}

struct Marked {
  Text t;
  std::vector<char> m;
};

Marked Plain(const Text& t) { return {t, std::vector<char>(t.size(), 0)}; }
Marked Inserted(const Text& t) { return {t, std::vector<char>(t.size(), 1)}; }

Marked MLeft(const Marked& x, Index n) {
  Text t = Left(x.t, n);
  return {t, std::vector<char>(x.m.begin(), x.m.begin() + static_cast<Index>(t.size()))};
}

Marked MFrom(const Marked& x, Index i) {
  Text t = From(x.t, i);
  return {t, std::vector<char>(x.m.end() - static_cast<Index>(t.size()), x.m.end())};
}

Marked Join(const Marked& a, const Marked& b, const Marked& c) {
  Marked out = a;
  out.t += b.t + c.t;
  out.m.insert(out.m.end(), b.m.begin(), b.m.end());
  out.m.insert(out.m.end(), c.m.begin(), c.m.end());
  return out;
}

struct Marker {
  Text text;
  bool whole = false;  // the class name must end after the marker
};

bool Eligible(const Marked& x, Index p, const Marker& mk) {
  if (x.m[static_cast<size_t>(p)]) return false;
  if (!mk.whole) return true;
  Index after = p + Size(mk.text);
  return after >= Size(x.t) || !NameUnit(x.t[static_cast<size_t>(after)]);
}

Index FindEligible(const Marked& x, const Marker& mk) {
  for (Index p = Find(x.t, mk.text); p >= 0; p = Find(x.t, mk.text, p + 1)) {
    if (Eligible(x, p, mk)) return p;
  }
  return -1;
}

// Replaces the eligible occurrences wholly inside Left limit, judged on the whole text.
Marked ReplaceIn(const Marked& x, Index limit, const Marker& mk, const Marked& by) {
  Marked before = MLeft(x, limit);
  Marked out;
  Index copied = 0;
  for (Index p = Find(before.t, mk.text); p >= 0;) {
    if (!Eligible(x, p, mk)) {
      p = Find(before.t, mk.text, p + 1);
      continue;
    }
    Marked piece = MFrom(MLeft(before, p), copied);
    out = Join(out, piece, by);
    copied = p + Size(mk.text);
    p = Find(before.t, mk.text, copied);
  }
  return Join(out, MFrom(before, copied), Marked{});
}

enum class Quotes { kKeep, kToApostrophes };

// False when neither ">" nor "style=" follows the marker: the caller's last resort.
bool InsertionStep(Marked& x, Index pos, const Marker& mk, Text& v, Quotes quotes) {
  Index after = pos + Size(mk.text);
  Index gt = Find(x.t, u">", after);
  Index st = Find(x.t, u"style=", after);
  if (gt >= 0 && (st < 0 || gt < st)) {
    Marked before = ReplaceIn(x, gt, mk, Marked{});
    x = Join(before, Inserted(u" style='" + v + u"'"), MFrom(x, gt));
    return true;
  }
  if (st >= 0) {
    Index k = st + 7;
    Text left = Left(x.t, k);
    if (quotes == Quotes::kToApostrophes && !left.empty() && left.back() == u'"') {
      Replace(v, u"\"", u"'");
    }
    Marked before = ReplaceIn(x, k, mk, Marked{});
    x = Join(before, Inserted(v), MFrom(x, k));
    return true;
  }
  return false;
}

void ReplaceEverywhere(Marked& x, const Marker& mk, const Text& by) {
  x = ReplaceIn(x, Size(x.t), mk, Inserted(by));
}

}  // namespace

// ----- driver and generic HTML ----------------------------------------------------

uint32_t CleanPastedHtml(Text& html, PasteContext& context) {
  uint32_t type = 0;
  if (Has(html, u"<meta name=ProgId content=Word.Document>")) {
    type = 1;
    CleanWordHtml(html, context);
  } else if (Has(html, u"<meta name=ProgId content=Excel.Sheet>")) {
    type = 2;
    CleanExcelHtml(html, context);
  } else if (Has(html, u"<meta name=ProgId content=PowerPoint.Slide>")) {
    type = 3;
    CutToFragment(html);
  } else if (Has(html, u"type=\"text/css\"><!--p.0") || Has(html, u"><!--p.")) {
    type = 4;
    CleanParagraphClassHtml(html, context);
  } else if (Has(html, u" xmlns:m=\"http://schemas.microsoft.com/office/")) {
    type = 5;
    CleanOfficeNamespaceHtml(html, context);
  } else {
    type = 6;
    CleanGenericHtml(html, context);
  }
  RemoveConditionalMarkers(html);
  return type;
}

bool CutToFragment(Text& html) {
  Index s = Find(html, kStartFragment);
  Index e = Find(html, kEndFragment);
  if (s < 0 || e < 0) return false;
  Text work = From(html, s + 20);
  if (!Has(work, kEndFragment)) return false;
  html = Left(work, LastOf(work, kEndFragment));
  return true;
}

bool RemoveVmlBlocks(Text& html, const std::function<void(const Text&)>& onBlockRemoved) {
  const Text start = u"<!--[if gte vml 1]>";
  const Text end = u"<![endif]-->";
  bool removed = false;
  while (true) {
    Index s = Find(html, start);
    Index e = Find(html, end);
    if (s < 0 || e < 0) break;
    if (s > e) {
      Text before = Left(html, s);
      Delete(before, end);
      html = before + From(html, s);
      continue;
    }
    Text following = From(html, e + 12);
    if (onBlockRemoved) onBlockRemoved(following);
    html = Left(html, s) + following;
    removed = true;
  }
  return removed;
}

void RenameVmlTags(Text& html) {
  Replace(html, u"<v:rect ", u"<div ");
  Replace(html, u"</v:rect>", u"</div>");
  Replace(html, u"<v:shadow ", u"<hr ");
  Replace(html, u"<v:shape ", u"<span ");
  Replace(html, u"</v:shape>", u"</span>");
  Replace(html, u"<v:imagedata", u"<img border=0");
}

void RemoveConditionalMarkers(Text& html) {
  Delete(html, u"<![if !supportEmptyParas]>");
  Delete(html, u"<![endif]>");
  Delete(html, u"<!--[if !supportEmptyParas]-->");
  Delete(html, u"<!--[if !supportLists]-->");
  Delete(html, u"<!--[endif]-->");
  Delete(html, u"<!--StartFragment-->");
  Delete(html, u"<!--EndFragment-->");
}

void CleanGenericHtml(Text& html, PasteContext& context) {
  Text startTag = u"<BODY";
  Text endTag = u"</BODY>";
  Index s = Find(html, startTag);
  if (s < 0) {
    startTag = u"<body";
    endTag = u"</body>";
    s = Find(html, startTag);
  }
  if (s >= 0) {
    Index g = Find(html, u">", s + 5);
    if (g >= 0) {
      startTag = Mid(html, s, g - s + 1);
      s = Find(html, startTag);
    }
  }
  Index e = Find(html, endTag);
  if (s < 0 || e < 0) {
    startTag = kStartFragment;
    endTag = kEndFragment;
    s = Find(html, startTag);
    e = Find(html, endTag);
    if (s < 0 || e < 0) return;
  }
  Text work = From(html, s + Size(startTag));
  Index e2 = Find(work, endTag);
  if (e2 < 0) {
    html = work;
  } else if (!Has(work, u"<BLOCKQUOTE") && !Has(work, u"<blockquote")) {
    work = Left(work, LastOf(work, endTag));
    UnwrapSingleParagraph(work);
    html = work;
  } else {
    work = Left(work, LastOf(work, endTag));
    Text pStart = u"<P";
    Text pEnd = u"</P>";
    Index p = Find(work, pStart);
    if (p < 0) {
      pStart = u"<p";
      pEnd = u"</p>";
      p = Find(work, pStart);
    }
    if (p >= 0) {
      Index g = Find(work, u">", p + 2);
      if (g >= 0) {
        pStart = Mid(work, p, g - p + 1);
        p = Find(work, pStart);
      }
    }
    if (p < 0) {
      html = work;
    } else {
      work = From(work, p + Size(pStart));
      if (Has(work, pEnd)) {
        work = Left(work, LastOf(work, pEnd));
        UnwrapSingleParagraph(work);
        html = work;
      }
    }
  }
  ReplaceFirstDataImage(html, context);
}

void UnwrapSingleParagraph(Text& text) {
  Index comment = Find(text, u"<!--");
  if (comment < 0 || comment == 0) return;
  Replace(text, u"\r\n", u"\n");
  Replace(text, u"\r", u"");
  Replace(text, u"\n", u"");
  Text first = Left(text, 3);
  Text last4 = Size(text) >= 4 ? From(text, Size(text) - 4) : text;
  if (last4 != u"</P>" && last4 != u"</p>") return;
  Index gt = Find(text, u">");
  if (gt >= 0) first = Left(text, gt + 1);
  if (Size(first) > 3) {
    Text span = Left(text, 2) == u"<P" ? u"SPAN" : u"span";
    text = u"<" + span + Mid(text, 2, Size(text) - 4 - 2) + u"</" + span + u">";
  } else {
    text = Mid(text, Size(first), Size(text) - 4 - Size(first));
  }
}

void ReplaceFirstDataImage(Text& html, PasteContext& context) {
  Index s = Find(html, u"src=");
  if (s < 0) s = Find(html, u"SRC=");
  if (s < 0) return;
  // Only a quoted base64 data image is turned into a file.
  Text quote = Mid(html, s + 4, 1);
  if (quote != u"\"" && quote != u"'") return;
  Index c = Find(html, quote, s + 5);
  if (c < 0) return;
  Text value = Mid(html, s + 4, c - s - 3);
  const Text saved = value;
  Text media = Mid(value, 1, Find(value, u",") - 1);
  if (Left(media, 11) != u"data:image/" || Find(value, u",") < 0 ||
      From(media, Size(media) - 7) != u";base64") {
    return;
  }
  Delete(value, u"\"data:image/");
  Delete(value, u"'data:image/");
  Delete(value, u";base64");
  Index n = Replace(value, u"\"", u"");
  Delete(value, u"'");
  std::vector<Text> fields = Split(value, u",");
  if (fields.size() != 2) return;
  Text path = SaveBase64Image(context.system, fields[1], fields[0]);
  if (path.empty()) return;
  Replace(html, saved, n > 0 ? u"\"" + path + u"\"" : u"'" + path + u"'");
}

// ----- style sheet and inlining ---------------------------------------------------

void ParseOfficeStyleSheet(COfficeStyleMap& map, const Text& cssText) {
  map.Clear();
  Text td;
  for (const Text& chunk : Split(cssText, u"}")) {
    std::vector<Text> fields = Split(chunk, u"{");
    if (fields.size() != 2) continue;
    Text selector = fields[0];
    Text declarations = fields[1];
    for (TextView unit : {u"\r", u"\n", u"\t"}) {
      Delete(selector, unit);
      Delete(declarations, unit);
    }
    if (td.empty() && selector == u"td") td = declarations;
    if (selector.empty()) continue;
    if (selector[0] == u'.' && !td.empty()) {
      map.Store(selector, td + declarations);
    } else {
      map.Store(selector, declarations);
    }
  }
}

void NormaliseLineStyles(Text& declarations, bool alsoDotDotDash, uint32_t officeLineFix) {
  Replace(declarations, u"hairline ", u"dotted ");
  Replace(declarations, u" hairline;", u" dotted;");
  if (alsoDotDotDash) {
    Replace(declarations, u"dot-dot-dash ", u"dotted ");
    Replace(declarations, u" dot-dot-dash;", u" dotted;");
  }
  if (officeLineFix) {
    Delete(declarations, u"border-left:none;");
    Delete(declarations, u"border-top:none;");
    Delete(declarations, u"border-right:none;");
    Delete(declarations, u"border-bottom:none;");
  }
}

void InlineMsoParagraphStyles(Text& html, const COfficeStyleMap& map) {
  for (const COfficeStyleMap::Entry* entry : map.InOrder()) {
    Marker m;
    if (Has(entry->key, u"p.MsoNormal")) {
      m.text = u"class=MsoNormal";
    } else if (Has(entry->key, u"p.MsoListParagraph")) {
      m.text = u"class=MsoListParagraph";
    } else {
      continue;
    }
    Text value = entry->value;
    Marked x = Plain(html);
    for (Index pos = FindEligible(x, m); pos >= 0; pos = FindEligible(x, m)) {
      if (InsertionStep(x, pos, m, value, Quotes::kKeep)) continue;
      ReplaceEverywhere(x, Marker{m.text + u">"}, u"style='" + value + u"'>");
      break;
    }
    html = x.t;
  }
}

void InlineDotClassStyles(Text& html, const COfficeStyleMap& map, bool alsoDotDotDash,
                          uint32_t officeLineFix) {
  for (const COfficeStyleMap::Entry* entry : map.InOrder()) {
    if (entry->key.empty() || entry->key[0] != u'.') continue;
    Text name = From(entry->key, 1);
    Text value = entry->value;
    const Marker closed{u"class=" + name + u">"};
    const Marker bare{u"class=" + name, true};
    Marked x = Plain(html);
    Marker m{u"class=" + name + u" "};
    Index pos = FindEligible(x, m);
    if (pos < 0) {
      pos = FindEligible(x, closed);
      m = bare;
    }
    while (pos >= 0) {
      NormaliseLineStyles(value, alsoDotDotDash, officeLineFix);
      if (!InsertionStep(x, pos, m, value, Quotes::kKeep)) {
        m = closed;
        ReplaceEverywhere(x, m, u" style='" + value + u"'>");
      }
      pos = FindEligible(x, m);
      if (pos < 0) {
        pos = FindEligible(x, closed);
        m = bare;
      }
    }
    html = x.t;
  }
}

void InlineQuotedClassStyles(Text& html, const COfficeStyleMap& map) {
  for (const COfficeStyleMap::Entry* entry : map.InOrder()) {
    if (!Has(entry->key, u"p.")) continue;
    Text name = entry->key;
    Delete(name, u"p.");
    Text value = entry->value;
    Marker m{u"class=\"" + name + u"\""};
    Marked x = Plain(html);
    for (Index pos = FindEligible(x, m); pos >= 0; pos = FindEligible(x, m)) {
      if (InsertionStep(x, pos, m, value, Quotes::kToApostrophes)) continue;
      m = Marker{u"class=\"" + name + u"\">"};
      ReplaceEverywhere(x, m, u"style='" + value + u"'>");
    }
    html = x.t;
  }
}

// ----- office pipelines -----------------------------------------------------------

namespace {

Text StripQuotes(Text t) {
  while (!t.empty() && t.front() == u'"') t.erase(0, 1);
  while (!t.empty() && t.back() == u'"') t.pop_back();
  return t;
}

int32_t LeadingNumber(const Text& field, const Text& name) {
  Text value = field;
  Delete(value, name);
  value = StripQuotes(value);
  long long number = 0;
  size_t i = 0;
  bool negative = false;
  if (i < value.size() && (value[i] == u'-' || value[i] == u'+')) negative = value[i++] == u'-';
  for (; i < value.size() && value[i] >= u'0' && value[i] <= u'9'; ++i) {
    number = number * 10 + (value[i] - u'0');
    if (number > (1ll << 32)) number = 1ll << 32;
  }
  if (negative) number = -number;
  if (Has(field, u"pt")) number = number * 4 / 3;
  if (number > 2147483647ll) number = 2147483647ll;
  if (number < -2147483648ll) number = -2147483648ll;
  return static_cast<int32_t>(number);
}

}  // namespace

LiteralImageTag ParseImageTag(const Text& tag) {
  Text lower = tag;
  for (char16_t& unit : lower) {
    if ((unit >= u'A' && unit <= u'Z') || (unit >= 0xC0 && unit <= 0xDE && unit != 0xD7)) {
      unit = static_cast<char16_t>(unit + 32);
    }
  }
  LiteralImageTag image;
  for (const Text& field : Split(lower, u" ")) {
    if (Has(field, u"height=")) {
      image.height = LeadingNumber(field, u"height=");
    } else if (Has(field, u"width=")) {
      image.width = LeadingNumber(field, u"width=");
    } else if (Has(field, u"src=")) {
      Text path = field;
      Delete(path, u"src=");
      path = StripQuotes(path);
      Delete(path, u"file:///");
      std::error_code error;
      if (!path.empty() && std::filesystem::is_regular_file(PathFromText(path), error)) {
        image.path = path;
      }
    }
  }
  return image;
}

void CleanWordHtml(Text& html, PasteContext& context) {
  Index s = Find(html, u"/* Style Definitions */");
  Index p = Find(html, u"/* Page Definitions */");
  if (s >= 0 && p >= 0) {
    Text work = From(html, s + 23);
    Index q = Find(work, u"/* Page Definitions */");
    if (q >= 0) ParseOfficeStyleSheet(context.officeStyleMap, Left(work, q));
  }
  if (CutToFragment(html)) {
    RemoveVmlBlocks(html);
    Replace(html, u"><![endif]></span>", u" /></span>");
    Replace(html, u"<![endif]></span>", u"</span>");
    Replace(html, u"</span><![endif]>", u"</span>");
    Replace(html, u"<![endif]>", u"");
    Replace(html, u"<![if !vml]>", u"");
  }
  RenameVmlTags(html);
  Delete(html, u"<![if !supportLists]>");
  Delete(html, u"<![endif]>");
  InlineMsoParagraphStyles(html, context.officeStyleMap);
}

void CleanExcelHtml(Text& html, PasteContext& context) {
  Index s = Find(html, u"@page");
  Index e = Find(html, u"</head>");
  if (s >= 0 && e >= 0) {
    Text work = From(html, s + 5);
    Index q = Find(work, u"</head>");
    if (q >= 0) ParseOfficeStyleSheet(context.officeStyleMap, Left(work, q));
  }
  s = Find(html, u"<table");
  e = Find(html, u"</body>");
  if (s >= 0 && e >= 0) {
    Text work = From(html, s);
    Index q = Find(work, u"</body>");
    if (q >= 0) {
      html = Left(work, q);
      if (RemoveVmlBlocks(html)) {
        Replace(html, u"></span><![endif]>", u" /></span>");
        Replace(html, u"</span><![endif]>", u"</span>");
        Replace(html, u"<![endif]>", u"");
        Replace(html, u"<![if !vml]>", u"");
      }
    }
  }
  RenameVmlTags(html);
  Delete(html, u"<!--StartFragment-->");
  Delete(html, u"<!--EndFragment-->");
  Index col = Find(html, u"<col ");
  if (col >= 0) html = Left(html, col) + u"\n<colgroup>\n" + From(html, col);
  Index row = Find(html, u"<tr ");
  if (row >= 0) {
    html = Left(html, row) + u"\n<tbody>\n" + From(html, row);
    Index last = LastOf(html, u"<");
    html = Left(html, last) + u"\n</tbody>\n" + From(html, last);
  }
  InlineDotClassStyles(html, context.officeStyleMap, true, context.officeLineFix);
  Delete(html, u"\r");
  Delete(html, u"\n");
}

void CleanParagraphClassHtml(Text& html, PasteContext& context) {
  context.fallbackImageTags.clear();
  Index s = Find(html, u"type=\"text/css\"><!--");
  Index e = Find(html, u"</head>");
  if (s >= 0 && e >= 0) {
    Text work = From(html, s + 20);
    Index q = Find(work, u"</head>");
    if (q >= 0) ParseOfficeStyleSheet(context.officeStyleMap, Left(work, q));
  }
  bool removed = false;
  if (CutToFragment(html)) {
    removed = RemoveVmlBlocks(html, [&](const Text& following) {
      Index gt = Find(following, u">");
      if (Find(following, u"<img") == 0 && gt > 0) {
        context.fallbackImageTags.push_back(Left(following, gt + 1));
      }
    });
  }
  InlineQuotedClassStyles(html, context.officeStyleMap);
  if (removed) {
    Replace(html, u"/><![endif]>", u" />");
    Replace(html, u"</span><![endif]>", u"</span>");
    Replace(html, u"<![endif]>", u"");
    Replace(html, u"<![if !vml]>", u"");
  }
  Delete(html, u"<![if !supportEmptyParas]>&nbsp;<![endif]>");
  Delete(html, u"<![endif]>");
  Delete(html, u"background:#ffffff;");
  StripMsoPrefixes(html);
  if (!context.imageCodec) return;
  for (const Text& tag : context.fallbackImageTags) {
    LiteralImageTag image = ParseImageTag(tag);
    if (!image.path.empty() && image.width > 0 && image.height > 0) {
      ResizeImageFileInPlace(*context.imageCodec, image.path, image.width, image.height,
                             context.jpegQuality);
    }
  }
}

void CleanOfficeNamespaceHtml(Text& html, PasteContext& context) {
  Index s = Find(html, u"<!--tr");
  Index e = Find(html, u"</head>");
  if (s >= 0 && e >= 0) {
    Text work = From(html, s + 6);
    Index q = Find(work, u"</head>");
    if (q >= 0) ParseOfficeStyleSheet(context.officeStyleMap, Left(work, q));
  }
  CutToFragment(html);
  InlineDotClassStyles(html, context.officeStyleMap, false, context.officeLineFix);
  if (context.officeLineFix) Delete(html, u"border-right:none;");
  Delete(html, u"\r");
  Delete(html, u"\n");
  StripMsoPrefixes(html);
}

void StripMsoPrefixes(Text& html) {
  Delete(html, u"mso-fareast-");
  Delete(html, u"mso-hansi-");
  Delete(html, u"mso-ascii-");
  Delete(html, u"mso-bidi-");
  Delete(html, u"mso-");
}

}  // namespace qorva::oracle
