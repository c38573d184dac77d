// The pipelines for HTML that the word processor and the spreadsheet put on the
// clipboard.
#pragma once

#include "base/text.h"
#include "paste/paste_context.h"

namespace qorva {

// Parses the style definitions, keeps the fragment without its VML alternatives,
// renames the remaining VML tags and inlines the paragraph classes.
void CleanWordHtml(Text& html, PasteContext& context);
// Parses the style sheet, keeps the table, adds the column group and table body tags,
// inlines the cell classes and puts everything on one line.
void CleanExcelHtml(Text& html, PasteContext& context);

}  // namespace qorva
