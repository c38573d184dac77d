// The pipelines for office HTML without a program identifier: type 4 (a style element
// that starts with paragraph class rules, VML drawings with a plain image after each)
// and type 5 (HTML declaring the office math namespace).
#pragma once

#include <cstdint>
#include <vector>

#include "base/text.h"
#include "paste/paste_context.h"

namespace qorva {

void CleanParagraphClassHtml(Text& html, PasteContext& context);
void CleanOfficeNamespaceHtml(Text& html, PasteContext& context);

// Deletes the "mso-" prefixes (the longer ones first) everywhere in the text.
void StripMsoPrefixes(Text& html);

// Records the <img> tag that starts the text following a removed VML block.
void RecordFallbackImage(std::vector<Text>& fallbackImageTags, TextView followingText);

struct ImageTagValues {
  Text path;  // of an existing local file, or ""
  int32_t width = 0;
  int32_t height = 0;
};
// Reads path, width and height from an <img> tag's space-separated attributes; sizes in
// points become pixels at 96 per inch.
ImageTagValues ParseImageTag(TextView tag);

}  // namespace qorva
