#include "graphics/bitmap_drawing.h"

#include <algorithm>
#include <cmath>

namespace qorva {

namespace {

bool Drawable(const Bitmap& dest) { return dest.format() != PixelFormat::kIndexed8; }

// The part of `rect` inside a width by height area.
ImageRect Clip(const ImageRect& rect, int32_t width, int32_t height) {
  int64_t left = std::max<int64_t>(rect.x, 0);
  int64_t top = std::max<int64_t>(rect.y, 0);
  int64_t right = std::min<int64_t>(int64_t{rect.x} + rect.width, width);
  int64_t bottom = std::min<int64_t>(int64_t{rect.y} + rect.height, height);
  if (right <= left || bottom <= top) return {};
  return {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right - left),
          static_cast<int32_t>(bottom - top)};
}

uint8_t Div255(uint32_t value) { return static_cast<uint8_t>((value + 127) / 255); }

// Source over destination with straight (not premultiplied) alpha.
void BlendPixel(Bitmap& dest, int32_t x, int32_t y, Argb src) {
  const uint32_t sa = AlphaOf(src);
  if (sa == 0) return;
  uint8_t* p = dest.Row(y) + static_cast<size_t>(x) * Bitmap::BytesPerPixel(dest.format());
  const uint32_t channels[3] = {BlueOf(src), GreenOf(src), RedOf(src)};
  if (sa == 255) {
    for (int i = 0; i < 3; ++i) p[i] = static_cast<uint8_t>(channels[i]);
    if (dest.format() == PixelFormat::kArgb32) p[3] = 255;
    return;
  }
  if (dest.format() == PixelFormat::kRgb24) {
    for (int i = 0; i < 3; ++i) p[i] = Div255(channels[i] * sa + p[i] * (255 - sa));
    return;
  }
  // Weights times 255: the source's, the destination's, and the result alpha's.
  const uint32_t srcWeight = sa * 255;
  const uint32_t destWeight = uint32_t{p[3]} * (255 - sa);
  const uint32_t total = srcWeight + destWeight;
  for (int i = 0; i < 3; ++i) {
    p[i] = static_cast<uint8_t>((channels[i] * srcWeight + p[i] * destWeight + total / 2) / total);
  }
  p[3] = Div255(total);
}

// Bilinear sample of `src` at (u, v) in source pixel coordinates (pixel centres at
// whole numbers), clamped to `area`. Interpolates premultiplied colours, so that
// transparent neighbours lend no colour.
Argb Sample(const Bitmap& src, const ImageRect& area, double u, double v) {
  const double maxU = area.x + area.width - 1;
  const double maxV = area.y + area.height - 1;
  u = std::clamp(u, static_cast<double>(area.x), maxU);
  v = std::clamp(v, static_cast<double>(area.y), maxV);
  const auto x0 = static_cast<int32_t>(std::floor(u));
  const auto y0 = static_cast<int32_t>(std::floor(v));
  const int32_t x1 = std::min(x0 + 1, static_cast<int32_t>(maxU));
  const int32_t y1 = std::min(y0 + 1, static_cast<int32_t>(maxV));
  const double fx = u - x0;
  const double fy = v - y0;
  const Argb corners[4] = {src.PixelAt(x0, y0), src.PixelAt(x1, y0), src.PixelAt(x0, y1),
                           src.PixelAt(x1, y1)};
  const double weights[4] = {(1 - fx) * (1 - fy), fx * (1 - fy), (1 - fx) * fy, fx * fy};
  double a = 0, r = 0, g = 0, b = 0;
  for (int i = 0; i < 4; ++i) {
    const double wa = weights[i] * AlphaOf(corners[i]);
    a += wa;
    r += wa * RedOf(corners[i]);
    g += wa * GreenOf(corners[i]);
    b += wa * BlueOf(corners[i]);
  }
  if (a <= 0) return 0;
  auto channel = [a](double premultiplied) {
    return static_cast<uint8_t>(std::clamp(std::lround(premultiplied / a), 0L, 255L));
  };
  return MakeArgb(static_cast<uint8_t>(std::clamp(std::lround(a), 0L, 255L)), channel(r),
                  channel(g), channel(b));
}

uint8_t ToChannel(float value) {
  return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
}

Argb Transform(Argb color, const ColorMatrix& m) {
  const float in[4] = {RedOf(color) / 255.0f, GreenOf(color) / 255.0f, BlueOf(color) / 255.0f,
                       AlphaOf(color) / 255.0f};
  float out[4];
  for (int j = 0; j < 4; ++j) {
    out[j] = m[4][j];
    for (int i = 0; i < 4; ++i) out[j] += in[i] * m[i][j];
  }
  return MakeArgb(ToChannel(out[3]), ToChannel(out[0]), ToChannel(out[1]), ToChannel(out[2]));
}

}  // namespace

ImageStatus FillRect(Bitmap& dest, const ImageRect& rect, Argb color) {
  if (!Drawable(dest)) return ImageStatus::kInvalidParameter;
  ImageRect area = Clip(rect, dest.width(), dest.height());
  for (int32_t y = area.y; y < area.y + area.height; ++y) {
    for (int32_t x = area.x; x < area.x + area.width; ++x) dest.SetPixel(x, y, color);
  }
  return ImageStatus::kOk;
}

ImageStatus DrawBitmap(Bitmap& dest, const Bitmap& src, int32_t x, int32_t y) {
  if (!Drawable(dest)) return ImageStatus::kInvalidParameter;
  ImageRect area = Clip({x, y, src.width(), src.height()}, dest.width(), dest.height());
  for (int32_t dy = area.y; dy < area.y + area.height; ++dy) {
    for (int32_t dx = area.x; dx < area.x + area.width; ++dx) {
      BlendPixel(dest, dx, dy, src.PixelAt(dx - x, dy - y));
    }
  }
  return ImageStatus::kOk;
}

ImageStatus DrawBitmapScaled(Bitmap& dest, const ImageRect& destRect, const Bitmap& src,
                             const ImageRect& srcRect) {
  if (!Drawable(dest)) return ImageStatus::kInvalidParameter;
  if (srcRect.x < 0 || srcRect.y < 0 || srcRect.width < 0 || srcRect.height < 0 ||
      int64_t{srcRect.x} + srcRect.width > src.width() ||
      int64_t{srcRect.y} + srcRect.height > src.height() || destRect.width < 0 ||
      destRect.height < 0) {
    return ImageStatus::kInvalidParameter;
  }
  if (srcRect.width == 0 || srcRect.height == 0) return ImageStatus::kOk;
  ImageRect area = Clip(destRect, dest.width(), dest.height());
  const double scaleX = static_cast<double>(srcRect.width) / destRect.width;
  const double scaleY = static_cast<double>(srcRect.height) / destRect.height;
  for (int32_t dy = area.y; dy < area.y + area.height; ++dy) {
    const double v = srcRect.y + (dy - destRect.y + 0.5) * scaleY - 0.5;
    for (int32_t dx = area.x; dx < area.x + area.width; ++dx) {
      const double u = srcRect.x + (dx - destRect.x + 0.5) * scaleX - 0.5;
      BlendPixel(dest, dx, dy, Sample(src, srcRect, u, v));
    }
  }
  return ImageStatus::kOk;
}

ImageStatus DrawBitmapScaled(Bitmap& dest, const ImageRect& destRect, const Bitmap& src) {
  return DrawBitmapScaled(dest, destRect, src, {0, 0, src.width(), src.height()});
}

ImageStatus ApplyColorMatrix(Bitmap& image, const ColorMatrix& matrix) {
  if (image.format() == PixelFormat::kIndexed8) {
    std::vector<Argb> palette = image.palette();
    for (Argb& entry : palette) entry = Transform(entry, matrix);
    return image.SetPalette(std::move(palette), image.paletteFlags());
  }
  for (int32_t y = 0; y < image.height(); ++y) {
    for (int32_t x = 0; x < image.width(); ++x) {
      image.SetPixel(x, y, Transform(image.PixelAt(x, y), matrix));
    }
  }
  return ImageStatus::kOk;
}

}  // namespace qorva
