#include "paste/paste_cleanup.h"

#include "paste/inline_images.h"
#include "paste/paragraph_class_cleanup.h"
#include "paste/paste_text.h"
#include "paste/word_excel_cleanup.h"
#include "platform/image_codec.h"
#include "support/string_helpers.h"

namespace qorva {

namespace {

constexpr TextView kStartFragment = u"<!--StartFragment-->";
constexpr TextView kEndFragment = u"<!--EndFragment-->";

struct SourceMarker {
  TextView marker;
  uint32_t type;
};

constexpr SourceMarker kSourceMarkers[] = {
    {u"<meta name=ProgId content=Word.Document>", kPasteSourceWord},
    {u"<meta name=ProgId content=Excel.Sheet>", kPasteSourceExcel},
    {u"<meta name=ProgId content=PowerPoint.Slide>", kPasteSourcePowerPoint},
    {u"type=\"text/css\"><!--p.0", kPasteSourceParagraphClass},
    {u"><!--p.", kPasteSourceParagraphClass},
    {u" xmlns:m=\"http://schemas.microsoft.com/office/", kPasteSourceOfficeNamespace},
};

TextView Left(TextView text, size_t n) { return text.substr(0, n); }
TextView From(TextView text, size_t i) { return i >= text.size() ? TextView() : text.substr(i); }

// The part of the generic pipeline inside a block quote: from the first paragraph's
// opening tag to the last paragraph end. Leaves `html` alone when no paragraph end
// follows that tag.
void KeepQuotedParagraphs(Text& html, Text work) {
  auto [pStart, pEnd, p] = FindOpeningTag(work, u"P");
  if (p == Text::npos) {
    html = std::move(work);
    return;
  }
  Text inner(From(work, p + pStart.size()));
  if (!Contains(inner, pEnd)) return;
  inner.resize(LastOccurrence(inner, pEnd));
  UnwrapSingleParagraph(inner);
  html = std::move(inner);
}

}  // namespace

uint32_t DetectPasteSourceType(TextView html) {
  for (const SourceMarker& source : kSourceMarkers) {
    if (Contains(html, source.marker)) return source.type;
  }
  return kPasteSourceGeneric;
}

uint32_t CleanPastedHtml(Text& html, PasteContext& context) {
  uint32_t type = DetectPasteSourceType(html);
  switch (type) {
    case kPasteSourceWord:
      CleanWordHtml(html, context);
      break;
    case kPasteSourceExcel:
      CleanExcelHtml(html, context);
      break;
    case kPasteSourcePowerPoint:
      CutToFragment(html);
      break;
    case kPasteSourceParagraphClass:
      CleanParagraphClassHtml(html, context);
      break;
    case kPasteSourceOfficeNamespace:
      CleanOfficeNamespaceHtml(html, context);
      break;
    default:
      CleanGenericHtml(html, context);
      break;
  }
  RemoveConditionalMarkers(html);
  return type;
}

bool CutToFragment(Text& html) {
  size_t s = FindText(html, kStartFragment);
  if (s == Text::npos || FindText(html, kEndFragment) == Text::npos) return false;
  TextView work = From(html, s + kStartFragment.size());
  size_t last = LastOccurrence(work, kEndFragment);
  if (last == TextView::npos) return false;
  html = Text(Left(work, last));
  return true;
}

void RenameVmlTags(Text& html) {
  ReplaceInTurn(html, {{u"<v:rect ", u"<div "},
                       {u"</v:rect>", u"</div>"},
                       {u"<v:shadow ", u"<hr "},
                       {u"<v:shape ", u"<span "},
                       {u"</v:shape>", u"</span>"},
                       {u"<v:imagedata", u"<img border=0"}});
}

void RemoveConditionalMarkers(Text& html) {
  ReplaceInTurn(html, {{u"<![if !supportEmptyParas]>", u""},
                       {u"<![endif]>", u""},
                       {u"<!--[if !supportEmptyParas]-->", u""},
                       {u"<!--[if !supportLists]-->", u""},
                       {u"<!--[endif]-->", u""},
                       {kStartFragment, u""},
                       {kEndFragment, u""}});
}

void CleanGenericHtml(Text& html, PasteContext& context) {
  auto [startTag, endTag, s] = FindOpeningTag(html, u"BODY");
  size_t e = FindText(html, endTag);
  if (s == Text::npos || e == Text::npos) {
    startTag = Text(kStartFragment);
    endTag = kEndFragment;
    s = FindText(html, startTag);
    e = FindText(html, endTag);
    if (s == Text::npos || e == Text::npos) return;
  }
  Text work(From(html, s + startTag.size()));
  if (FindText(work, endTag) == Text::npos) {
    html = std::move(work);
  } else {
    const bool quoted = Contains(work, u"<BLOCKQUOTE") || Contains(work, u"<blockquote");
    work.resize(LastOccurrence(work, endTag));
    if (!quoted) {
      UnwrapSingleParagraph(work);
      html = std::move(work);
    } else {
      KeepQuotedParagraphs(html, std::move(work));
    }
  }
  ReplaceFirstDataImage(html, context);
}

void UnwrapSingleParagraph(Text& text) {
  size_t comment = FindText(text, u"<!--");
  if (comment == Text::npos || comment == 0) return;
  DeleteUnits(text, u"\r\n");
  const size_t length = text.size();
  TextView last4 = length >= 4 ? TextView(text).substr(length - 4) : TextView(text);
  if (last4 != u"</P>" && last4 != u"</p>") return;
  size_t firstLength = std::min<size_t>(3, length);
  size_t gt = text.find(u'>');
  if (gt != Text::npos) firstLength = gt + 1;
  if (firstLength > 3) {
    TextView spanName = text.starts_with(u"<P") ? u"SPAN" : u"span";
    Text inner(length >= 6 ? TextView(text).substr(2, length - 6) : TextView());
    Text out;
    out.reserve(inner.size() + 16);
    out.append(u"<").append(spanName).append(inner).append(u"</").append(spanName).append(u">");
    text = std::move(out);
    return;
  }
  text = length >= 4 + firstLength ? text.substr(firstLength, length - 4 - firstLength) : Text();
}

void ReplaceFirstDataImage(Text& html, PasteContext& context) {
  size_t s = FindText(html, u"src=");
  if (s == Text::npos) s = FindText(html, u"SRC=");
  if (s == Text::npos || s + 4 >= html.size()) return;
  // Only a quoted value can be a data image; the closing quote is the opening one's twin.
  const char16_t quote = html[s + 4];
  if (quote != u'"' && quote != u'\'') return;
  size_t c = html.find(quote, s + 5);
  if (c == Text::npos) return;
  const Text saved = html.substr(s + 4, c - s - 3);
  // A source that is no base64 data image stays as it is.
  TextView body = TextView(saved).substr(1);
  if (!body.starts_with(u"data:image/")) return;
  size_t comma = body.find(u',');
  if (comma == TextView::npos || !body.substr(0, comma).ends_with(u";base64")) return;

  Text value = saved;
  DeleteAll(value, u"\"data:image/");
  DeleteAll(value, u"'data:image/");
  DeleteAll(value, u";base64");
  size_t doubleQuotes = ReplaceAll(value, u"\"", u"");
  DeleteAll(value, u"'");
  std::vector<Text> fields;
  SplitList(value, u",", fields);
  if (fields.size() != 2) return;
  Text path = SaveBase64Image(context.system, fields[1], fields[0]);
  if (path.empty()) return;
  Text quoted = doubleQuotes > 0 ? u"\"" + path + u"\"" : u"'" + path + u"'";
  ReplaceAll(html, saved, quoted);
}

}  // namespace qorva
