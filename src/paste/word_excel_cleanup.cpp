#include "paste/word_excel_cleanup.h"

#include "paste/office_style_inliner.h"
#include "paste/paste_cleanup.h"
#include "paste/paste_text.h"

namespace qorva {

namespace {

// Parses the style sheet text that starts `skip` units after the first `startMarker`
// and ends at the first `endMarker` after that, when both markers occur.
void ParseStyleSheetBetween(const Text& html, TextView startMarker, size_t skip,
                            TextView endMarker, COfficeStyleMap& map) {
  size_t s = html.find(startMarker);
  if (s == Text::npos || html.find(endMarker) == Text::npos) return;
  TextView work = s + skip >= html.size() ? TextView() : TextView(html).substr(s + skip);
  size_t end = work.find(endMarker);
  if (end == TextView::npos) return;
  ParseOfficeStyleSheet(map, work.substr(0, end));
}

}  // namespace

void CleanWordHtml(Text& html, PasteContext& context) {
  constexpr TextView kStyles = u"/* Style Definitions */";
  ParseStyleSheetBetween(html, kStyles, kStyles.size(), u"/* Page Definitions */",
                         context.officeStyleMap);
  if (CutToFragment(html)) {
    RemoveVmlBlocks(html);
    ReplaceAll(html, u"><![endif]></span>", u" /></span>");
    ReplaceAll(html, u"<![endif]></span>", u"</span>");
    ReplaceAll(html, u"</span><![endif]>", u"</span>");
    DeleteAll(html, u"<![endif]>");
    DeleteAll(html, u"<![if !vml]>");
  }
  RenameVmlTags(html);
  DeleteAll(html, u"<![if !supportLists]>");
  DeleteAll(html, u"<![endif]>");
  InlineMsoParagraphStyles(html, context.officeStyleMap);
}

void CleanExcelHtml(Text& html, PasteContext& context) {
  ParseStyleSheetBetween(html, u"@page", 5, u"</head>", context.officeStyleMap);

  size_t s = html.find(u"<table");
  if (s != Text::npos && html.find(u"</body>") != Text::npos) {
    size_t end = html.find(u"</body>", s);
    if (end != Text::npos) {
      html = html.substr(s, end - s);
      if (RemoveVmlBlocks(html)) {
        ReplaceAll(html, u"></span><![endif]>", u" /></span>");
        ReplaceAll(html, u"</span><![endif]>", u"</span>");
        DeleteAll(html, u"<![endif]>");
        DeleteAll(html, u"<![if !vml]>");
      }
    }
  }
  RenameVmlTags(html);
  DeleteAll(html, u"<!--StartFragment-->");
  DeleteAll(html, u"<!--EndFragment-->");

  size_t col = html.find(u"<col ");
  if (col != Text::npos) html.insert(col, u"\n<colgroup>\n");
  size_t row = html.find(u"<tr ");
  if (row != Text::npos) {
    html.insert(row, u"\n<tbody>\n");
    html.insert(html.rfind(u'<'), u"\n</tbody>\n");
  }

  InlineDotClassStyles(html, context.officeStyleMap, DotDotDash::kToDotted,
                       context.officeLineFix);
  DeleteAll(html, u"\r");
  DeleteAll(html, u"\n");
}

}  // namespace qorva
