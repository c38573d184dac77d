// Path, URL, list and HTML text helpers. "Last" means the right-most occurrence in the
// whole string, also inside folder names.
#pragma once

#include <vector>

#include "base/text.h"

namespace qorva {

// Up to and including the last "\"; without any "\", up to and including the last "/";
// empty when the text has neither.
Text ExtractFolderPart(TextView path);
// After the last "\"; without any "\", after the last "/"; the whole text with neither.
Text ExtractFileName(TextView path);
// Before the last "."; empty when there is no ".".
Text StripExtension(TextView path);
// After the last "."; empty when there is no ".".
Text ExtractExtension(TextView path);
// From the first "/" after the first "//" to the end; empty when either is missing.
Text ExtractUrlPath(TextView url);

// Appends each maximal run of `text` free of the characters in `separators` to `list`.
// Never appends an empty item; items keep their white space.
void SplitList(TextView text, TextView separators, std::vector<Text>& list);

// In place: escapes "<" and ">" (not "&"), turns line breaks into "<br />" and pairs of
// spaces into two non-breaking spaces.
void TextToHtml(Text& text);

// In place: drops "file:///", decodes %20 %25 %26 %40 in that order, and on a local path
// (one with ":" that does not start with "http") turns "/" into "\".
void FileUrlToPath(Text& text);

}  // namespace qorva
