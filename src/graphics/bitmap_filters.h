// Whole-picture operations of the photo editor on kRgb24 and kArgb32 bitmaps: quarter
// turns, mirrors, colour matrices drawn over the picture, and the copies on white that
// resizing and JPEG export make. Indexed bitmaps are refused (kInvalidParameter or none);
// their owner converts them first.
#pragma once

#include <cstdint>
#include <optional>

#include "graphics/bitmap.h"
#include "graphics/bitmap_drawing.h"

namespace qorva {

enum class Turn { kClockwise, kCounterClockwise };

// `image` turned by 90 degrees (its width and height swap); none for an indexed bitmap
// or when memory runs out.
std::optional<Bitmap> Turned(const Bitmap& image, Turn turn);

// Pixel (x, y) goes to (width - 1 - x, y), in place.
ImageStatus MirrorLeftRight(Bitmap& image);
// Pixel (x, y) goes to (x, height - 1 - y), in place.
ImageStatus MirrorUpDown(Bitmap& image);

// Works out each pixel's new colour with `matrix` (R', G', B' from R, G, B and the
// offset row; the alpha row and column are not read, the new colour keeps the pixel's
// alpha) and draws it over the pixel with alpha blending: an opaque pixel takes the new
// colour, a transparent one keeps its own, a translucent one gets the blend. In place.
// Results are within 1 of the exact 0..1 arithmetic, rounded.
ImageStatus DrawColorMatrixOver(Bitmap& image, const ColorMatrix& matrix);

// A kRgb24 copy of `image` on white (transparency flattened onto it).
std::optional<Bitmap> FlattenedOntoWhite(const Bitmap& image);

// A kRgb24 copy of `image` scaled to `width` by `height` on white, with a triangle
// filter that widens when shrinking so that every source pixel counts; none for a size
// a bitmap may not have or an indexed source.
std::optional<Bitmap> ResizedOntoWhite(const Bitmap& image, int32_t width, int32_t height);

}  // namespace qorva
