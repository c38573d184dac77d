// What one paste clean-up works on besides its text: the control's style map and
// fallback image list, which outlive the paste, its line-fix setting, and the system
// port that names the files a paste writes.
#pragma once

#include <cstdint>
#include <vector>

#include "paste/office_style_map.h"
#include "support/text.h"

namespace qorva {

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
