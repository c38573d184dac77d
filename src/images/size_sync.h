// The arithmetic the image dialogs share: numbers read from edit texts, and the width
// and height kept in proportion with a 32-bit ratio.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace qorva {

// The leading decimal digits of `text` (0 when it starts with none), held at INT32_MAX.
int32_t LeadingNumber(TextView text);

// The other side of a size kept in proportion with the 32-bit ratio, computed in double
// precision, truncated towards zero and held inside 0 to INT32_MAX (a ratio that is not
// a positive number gives 0).
int32_t HeightForWidth(int32_t width, float aspectRatio);
int32_t WidthForHeight(int32_t height, float aspectRatio);

// width ÷ height in 32-bit float arithmetic, as the dialogs keep it.
inline float AspectRatioOf(int32_t width, int32_t height) {
  return static_cast<float>(width) / static_cast<float>(height);
}

// Whether a spin's arrow press goes through: down needs a position of at least
// `lowest` + 1, up at most `highest` - 1.
inline bool SpinAccepts(int32_t position, bool up, int32_t lowest, int32_t highest) {
  return up ? position < highest : position > lowest;
}

}  // namespace qorva
