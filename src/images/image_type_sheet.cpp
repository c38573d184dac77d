#include "images/image_type_sheet.h"

#include <algorithm>

#include "images/size_sync.h"
#include "support/string_helpers.h"

namespace qorva {

namespace {

constexpr int32_t kLowestQuality = 50;
constexpr int32_t kHighestQuality = 100;

}  // namespace

Text CheckedFileType(bool jpg, bool png, bool gif) {
  Text type = u"JPG";
  if (jpg) type = u"JPG";
  if (png) type = u"PNG";
  if (gif) type = u"GIF";
  return type;
}

int32_t ClampQuality(int32_t quality) {
  return std::clamp(quality, kLowestQuality, kHighestQuality);
}

int32_t ClampedQuality(TextView qualityText) { return ClampQuality(LeadingNumber(qualityText)); }

bool QualitySpinAccepts(int32_t position, bool up) {
  return SpinAccepts(position, up, kLowestQuality, kHighestQuality);
}

SaveAsTarget SaveAsTargetFor(TextView chosenPath, TextView checkedType) {
  SaveAsTarget target{Text(chosenPath), {}};
  // The extension of the file name, not of a folder above it.
  size_t nameStart = chosenPath.find_last_of(u"\\/");
  TextView name = nameStart == TextView::npos ? chosenPath : chosenPath.substr(nameStart + 1);
  target.extension = ToLower(ExtractExtension(name));
  if (target.extension.empty()) {
    target.extension = ToLower(checkedType);
    target.path += u"." + target.extension;
  }
  if (target.extension != u"jpg" && target.extension != u"png" && target.extension != u"gif") {
    target.extension = u"jpg";
    target.path += u".jpg";
  }
  return target;
}

}  // namespace qorva
