// The rules of the image type sheet, where the user picks the type, JPEG quality and
// rotation of a picture from the clipboard and may save a copy under a name of choice.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace qorva {

// "JPG", "PNG" or "GIF" by the checked type button; a later one wins, "JPG" for none.
Text CheckedFileType(bool jpg, bool png, bool gif);

// The quality edit's number, held inside 50 to 100.
int32_t ClampedQuality(TextView qualityText);
int32_t ClampQuality(int32_t quality);

// Whether the quality spin's arrow goes through from `position`.
bool QualitySpinAccepts(int32_t position, bool up);

struct SaveAsTarget {
  Text path;
  Text extension;  // lower case: "jpg", "png" or "gif"
};
// Where "Save As ..." writes for the name the user chose: a name without an extension
// takes the checked type's; one of another type than jpg, png or gif gets ".jpg" added.
SaveAsTarget SaveAsTargetFor(TextView chosenPath, TextView checkedType);

}  // namespace qorva
