// Reading the clipboard for a paste: the first format present, in the order "HTML
// Format", Unicode text, ANSI text, dropped files, bitmap, turned into HTML for the
// editor. Also the clipboard HTML cut to one element, and the copy-or-convert of image
// files the paste of files uses.
#pragma once

#include <vector>

#include "base/text.h"
#include "paste/paste_context.h"
#include "support/image_files.h"

namespace qorva {

class Clipboard;
class ImageCodec;

struct ClipboardPaste {
  Text html;          // for the editor; "" when the clipboard held nothing usable
  Text originalHtml;  // the clipboard's HTML before the clean-up, when it held HTML
  uint32_t sourceType = kPasteSourceNone;
  std::vector<Text> droppedFiles;  // the paths of the files on the clipboard, if it held files
};

// Reads the first usable clipboard format for a paste and turns it into HTML; HTML is
// cleaned with `cleanup` after the clipboard is closed.
ClipboardPaste ReadClipboardForPaste(const ClipboardImageContext& images, PasteContext& cleanup);

// The clipboard's HTML cut from the first `strTag` element's start to its end tag
// ("fragment": the fragment markers), or the whole HTML when either is missing.
Text GetOriginalHtml(Clipboard& clipboard, TextView strTag);

// Copies `source` to `destination` when their extensions match, else redraws it onto
// white and saves it in the destination's format; with `deleteSource`, a converted
// source is deleted. False when the source is no image or the file cannot be written.
// A conversion reports the picture's size in `convertedSize`, so callers need not decode
// the file again.
bool ConvertImageFile(const ImageCodec& codec, TextView destination, TextView source,
                      bool deleteSource, int32_t jpegQuality, ImageSize* convertedSize = nullptr);

}  // namespace qorva
