// What one paste clean-up works on besides its text: the control's style map and
// fallback image list, which outlive the paste, its line-fix setting, the system port
// that names the files a paste writes, and the codec and quality that redraw pictures.
#pragma once

#include <cstdint>
#include <vector>

#include "base/text.h"
#include "paste/office_style_map.h"
#include "support/image_files.h"

namespace qorva {

class Clipboard;
class ImageCodec;
class System;

struct PasteContext {
  COfficeStyleMap& officeStyleMap;
  std::vector<Text>& fallbackImageTags;
  uint32_t officeLineFix;
  System& system;
  // Redraws the fallback images of a type-4 paste at their tag's size; without it they
  // stay as they are.
  const ImageCodec* imageCodec = nullptr;
  int32_t jpegQuality = kDefaultJpegQuality;
};

// What turns the clipboard's pictures into files in the working folder: the ports, the
// size an inserted picture shows at most (0: no limit) and the quality of JPEG files.
struct ClipboardImageContext {
  Clipboard& clipboard;
  System& system;
  const ImageCodec& imageCodec;
  ImageSize defaultSize;
  int32_t jpegQuality = kDefaultJpegQuality;
};

// The source types of pasted HTML, tested in this order; 0 means none was determined.
inline constexpr uint32_t kPasteSourceNone = 0;
inline constexpr uint32_t kPasteSourceWord = 1;
inline constexpr uint32_t kPasteSourceExcel = 2;
inline constexpr uint32_t kPasteSourcePowerPoint = 3;
inline constexpr uint32_t kPasteSourceParagraphClass = 4;
inline constexpr uint32_t kPasteSourceOfficeNamespace = 5;
inline constexpr uint32_t kPasteSourceGeneric = 6;

}  // namespace qorva
