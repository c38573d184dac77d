// The paste clean-up driver: recognises the program that produced pasted HTML, runs
// that source's pipeline, and removes the conditional-comment and fragment markers
// every pipeline leaves. Also the generic pipeline and the building blocks the office
// pipelines share.
#pragma once

#include <functional>

#include "base/text.h"
#include "paste/paste_context.h"

namespace qorva {

// Rewrites `html` in place and returns its source type code; the context's image codec,
// when it has one, redraws the fallback images of type-4 HTML.
uint32_t CleanPastedHtml(Text& html, PasteContext& context);

// The source type code of `html`: the first marker of the table found decides.
uint32_t DetectPasteSourceType(TextView html);

// Cuts `html` to what lies between the first start-fragment marker and the last
// end-fragment marker; false (text unchanged) when either is missing.
bool CutToFragment(Text& html);

// Called with the text that follows each removed block.
using VmlBlockCallback = std::function<void(TextView following)>;
// Removes every VML block (start marker through the first end marker); stray end
// markers before a block are deleted. True when at least one block was removed.
bool RemoveVmlBlocks(Text& html, const VmlBlockCallback& onBlockRemoved = {});

void RenameVmlTags(Text& html);
void RemoveConditionalMarkers(Text& html);

// Keeps the body or fragment, unwraps a single paragraph, and turns the first data
// image into a working file.
void CleanGenericHtml(Text& html, PasteContext& context);
void UnwrapSingleParagraph(Text& text);
// Only the first "src=" of the text is looked at; a quoted base64 data image there
// becomes a file in the working folder and every copy of its value becomes the path.
void ReplaceFirstDataImage(Text& html, PasteContext& context);

}  // namespace qorva
