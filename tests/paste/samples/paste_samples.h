// Generated clipboard HTML of every source type, in the shape the office programs and
// browsers put on the clipboard, for the differential tests, the fuzz target's seeds and
// the benchmark.
#pragma once

#include <cstdint>
#include <string>

#include "base/text.h"

namespace qorva::samples {

// The "HTML Format" header lines in front of a document.
Text WithClipboardHeader(const Text& html);

// A word-processor document: style definitions, normal and list paragraphs, a table,
// and pictures written twice (VML block, then the plain image).
Text WordDocument(size_t paragraphs, size_t pictures, uint32_t seed);
// A spreadsheet selection of rows × columns cells whose classes use hairline,
// dot-dot-dash and "none" borders, wrapped tags and cell styles of their own.
Text ExcelDocument(size_t rows, size_t columns, size_t classes, uint32_t seed);
// About `bytes` UTF-8 bytes of spreadsheet selection.
Text ExcelDocumentOfSize(size_t bytes, uint32_t seed);
Text PowerPointDocument(uint32_t seed);
// Type 4: a style element starting with paragraph class rules, quoted classes and VML
// drawings each followed by its plain image at `imageFolder` (a file URL folder).
Text ParagraphClassDocument(size_t paragraphs, uint32_t seed, const Text& imageFolder = u"");
// Type 5: HTML declaring the office math namespace, with a "tr" rule and cell classes.
Text OfficeNamespaceDocument(size_t rows, uint32_t seed);
// A browser selection of one paragraph, or of several with a block quote.
Text BrowserSelection(size_t paragraphs, uint32_t seed);

}  // namespace qorva::samples
