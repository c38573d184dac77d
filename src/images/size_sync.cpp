#include "images/size_sync.h"

#include <limits>

namespace qorva {

namespace {

// Truncates towards zero; a result outside int32_t (a tiny ratio, a huge edit value)
// is held at the edge instead of overflowing the conversion.
int32_t TruncateToInt(double value) {
  if (!(value > 0.0)) return 0;
  if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value);
}

}  // namespace

int32_t LeadingNumber(TextView text) {
  int64_t value = 0;
  for (char16_t unit : text) {
    if (unit < u'0' || unit > u'9') break;
    value = value * 10 + (unit - u'0');
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  }
  return static_cast<int32_t>(value);
}

int32_t HeightForWidth(int32_t width, float aspectRatio) {
  // The ratio is stored in 32 bits but the quotient is taken wider: 400 over the float
  // nearest 4/3 must come out just under 300, which a 32-bit quotient rounds up to.
  return TruncateToInt(static_cast<double>(width) / static_cast<double>(aspectRatio));
}

int32_t WidthForHeight(int32_t height, float aspectRatio) {
  return TruncateToInt(static_cast<double>(height) * static_cast<double>(aspectRatio));
}

}  // namespace qorva
