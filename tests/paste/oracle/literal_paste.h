// The paste clean-up written step by step as its rules read: every search starts at
// the front, every edit rebuilds the whole text. Slow (quadratic in the number of
// elements touched) and kept only as the reference the production passes must match
// byte for byte.
#pragma once

#include <functional>

#include "base/text.h"
#include "paste/paste_context.h"

namespace qorva::oracle {

uint32_t CleanPastedHtml(Text& html, PasteContext& context);

bool CutToFragment(Text& html);
bool RemoveVmlBlocks(Text& html, const std::function<void(const Text&)>& onBlockRemoved = {});
void RenameVmlTags(Text& html);
void RemoveConditionalMarkers(Text& html);
void CleanGenericHtml(Text& html, PasteContext& context);
void UnwrapSingleParagraph(Text& text);
void ReplaceFirstDataImage(Text& html, PasteContext& context);

void ParseOfficeStyleSheet(COfficeStyleMap& map, const Text& cssText);
void NormaliseLineStyles(Text& declarations, bool alsoDotDotDash, uint32_t officeLineFix);
void InlineMsoParagraphStyles(Text& html, const COfficeStyleMap& map);
void InlineDotClassStyles(Text& html, const COfficeStyleMap& map, bool alsoDotDotDash,
                          uint32_t officeLineFix);
void InlineQuotedClassStyles(Text& html, const COfficeStyleMap& map);

void CleanWordHtml(Text& html, PasteContext& context);
void CleanExcelHtml(Text& html, PasteContext& context);
void CleanParagraphClassHtml(Text& html, PasteContext& context);
void CleanOfficeNamespaceHtml(Text& html, PasteContext& context);
void StripMsoPrefixes(Text& html);

struct LiteralImageTag {
  Text path;
  int32_t width = 0;
  int32_t height = 0;
};
LiteralImageTag ParseImageTag(const Text& tag);

}  // namespace qorva::oracle
