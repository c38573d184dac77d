// Drawing on portable bitmaps: filling, drawing one bitmap into another with alpha
// blending (plain or scaled with bilinear filtering) and the 5 by 5 colour matrix.
// Destinations are kRgb24 or kArgb32 bitmaps; an indexed destination is refused with
// kInvalidParameter. Parts of a rectangle outside the destination are clipped.
#pragma once

#include <array>
#include <cstdint>

#include "graphics/bitmap.h"

namespace qorva {

struct ImageRect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// Sets every pixel of `rect` to `color` (alpha included: no blending).
ImageStatus FillRect(Bitmap& dest, const ImageRect& rect, Argb color);

// Draws `src` unscaled with its top left corner at (x, y), blended by its alpha.
ImageStatus DrawBitmap(Bitmap& dest, const Bitmap& src, int32_t x, int32_t y);

// Draws the `srcRect` part of `src` stretched onto `destRect`, sampling bilinearly and
// blending by alpha. `srcRect` must lie inside `src`; empty rectangles draw nothing.
ImageStatus DrawBitmapScaled(Bitmap& dest, const ImageRect& destRect, const Bitmap& src,
                             const ImageRect& srcRect);
ImageStatus DrawBitmapScaled(Bitmap& dest, const ImageRect& destRect, const Bitmap& src);

// The colour matrix in the row-vector convention: a pixel (r, g, b, a, 1), each channel
// scaled to 0..1, times the matrix gives the new (r, g, b, a, -); row 4 is the
// translation. Results are clamped to 0..1.
using ColorMatrix = std::array<std::array<float, 5>, 5>;
inline constexpr ColorMatrix kIdentityColorMatrix = {
    {{1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, 1, 0}, {0, 0, 0, 0, 1}}};

// Applies `matrix` to every pixel (to the palette of an indexed bitmap). A kRgb24
// bitmap enters with alpha 1 and keeps no alpha.
ImageStatus ApplyColorMatrix(Bitmap& image, const ColorMatrix& matrix);

}  // namespace qorva
