#include "paste/word_excel_cleanup.h"

#include "paste/office_style_inliner.h"
#include "paste/paste_cleanup.h"
#include "paste/paste_text.h"

namespace qorva {

namespace {

// Inserts the column group opening before the first column, and the table body around
// the rows: before the first row and before the last "<" of the text. In place: the text
// usually has the room left by the head that was cut away.
void AddColumnGroupAndBody(Text& html) {
  size_t col = FindText(html, u"<col ");
  if (col != Text::npos) html.insert(col, u"\n<colgroup>\n");
  size_t row = FindText(html, u"<tr ");
  if (row != Text::npos) {
    html.insert(row, u"\n<tbody>\n");
    html.insert(html.rfind(u'<'), u"\n</tbody>\n");
  }
}

}  // namespace

void CleanWordHtml(Text& html, PasteContext& context) {
  constexpr TextView kStyles = u"/* Style Definitions */";
  ParseStyleSheetBetween(html, kStyles, u"/* Page Definitions */", context.officeStyleMap);
  if (CutToFragment(html)) {
    RemoveVmlBlocks(html);
    ReplaceInTurn(html, {{u"><![endif]></span>", u" /></span>"},
                         {u"<![endif]></span>", u"</span>"},
                         {u"</span><![endif]>", u"</span>"},
                         {u"<![endif]>", u""},
                         {u"<![if !vml]>", u""}});
  }
  RenameVmlTags(html);
  ReplaceInTurn(html, {{u"<![if !supportLists]>", u""}, {u"<![endif]>", u""}});
  InlineMsoParagraphStyles(html, context.officeStyleMap);
}

void CleanExcelHtml(Text& html, PasteContext& context) {
  ParseStyleSheetBetween(html, u"@page", u"</head>", context.officeStyleMap);

  size_t s = FindText(html, u"<table");
  if (s != Text::npos && FindText(html, u"</body>") != Text::npos) {
    size_t end = FindText(html, u"</body>", s);
    if (end != Text::npos) {
      html.resize(end);
      html.erase(0, s);
      if (RemoveVmlBlocks(html)) {
        ReplaceInTurn(html, {{u"></span><![endif]>", u" /></span>"},
                             {u"</span><![endif]>", u"</span>"},
                             {u"<![endif]>", u""},
                             {u"<![if !vml]>", u""}});
      }
    }
  }
  RenameVmlTags(html);
  ReplaceInTurn(html, {{u"<!--StartFragment-->", u""}, {u"<!--EndFragment-->", u""}});
  AddColumnGroupAndBody(html);

  InlineDotClassStyles(html, context.officeStyleMap, DotDotDash::kToDotted, context.officeLineFix);
  DeleteUnits(html, u"\r\n");
}

}  // namespace qorva
