// Reading the image fixtures in tests/data/images and comparing pictures.
#pragma once

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "graphics/bitmap.h"

namespace qorva::fixtures {

inline std::string Read(const std::string& name) {
  std::ifstream in(std::string(QORVA_SOURCE_DIR) + "/tests/data/images/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The largest difference of any channel at any pixel (alpha included), or 256 when the
// sizes differ. Fully transparent pixels compare equal whatever their colour.
inline int MaxDifference(const Bitmap& a, const Bitmap& b) {
  if (a.width() != b.width() || a.height() != b.height()) return 256;
  int worst = 0;
  for (int32_t y = 0; y < a.height(); ++y) {
    for (int32_t x = 0; x < a.width(); ++x) {
      Argb p = a.PixelAt(x, y);
      Argb q = b.PixelAt(x, y);
      if (AlphaOf(p) == 0 && AlphaOf(q) == 0) continue;
      for (int shift = 0; shift < 32; shift += 8) {
        int d =
            std::abs(static_cast<int>((p >> shift) & 0xFF) - static_cast<int>((q >> shift) & 0xFF));
        if (d > worst) worst = d;
      }
    }
  }
  return worst;
}

}  // namespace qorva::fixtures
