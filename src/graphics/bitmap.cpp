#include "graphics/bitmap.h"

#include <cstring>
#include <new>
#include <utility>

namespace qorva {

namespace {

// Over black: what a translucent pixel looks like once it loses its alpha.
uint8_t OverBlack(uint8_t channel, uint8_t alpha) {
  return static_cast<uint8_t>((channel * alpha + 127) / 255);
}

}  // namespace

Bitmap::Bitmap(int32_t width, int32_t height, PixelFormat format, size_t stride,
               std::vector<uint8_t> pixels)
    : width_(width),
      height_(height),
      format_(format),
      stride_(stride),
      pixels_(std::move(pixels)) {}

bool Bitmap::SizeAllowed(int64_t width, int64_t height) {
  if (width <= 0 || height <= 0) return false;
  if (width > kMaxImageDimension || height > kMaxImageDimension) return false;
  return static_cast<uint64_t>(width) * static_cast<uint64_t>(height) <= kMaxImagePixels;
}

size_t Bitmap::BytesPerPixel(PixelFormat format) {
  switch (format) {
    case PixelFormat::kRgb24:
      return 3;
    case PixelFormat::kArgb32:
      return 4;
    case PixelFormat::kIndexed8:
      return 1;
  }
  return 4;
}

std::optional<Bitmap> Bitmap::Create(int32_t width, int32_t height, PixelFormat format) {
  if (!SizeAllowed(width, height)) return std::nullopt;
  size_t stride = (static_cast<size_t>(width) * BytesPerPixel(format) + 3) & ~size_t{3};
  std::vector<uint8_t> pixels;
  try {
    pixels.assign(stride * static_cast<size_t>(height), 0);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  return Bitmap(width, height, format, stride, std::move(pixels));
}

ImageStatus Bitmap::SetPalette(std::vector<Argb> entries, uint32_t flags) {
  if (format_ != PixelFormat::kIndexed8 || entries.size() > 256) {
    return ImageStatus::kInvalidParameter;
  }
  palette_ = std::move(entries);
  paletteFlags_ = flags;
  return ImageStatus::kOk;
}

Argb Bitmap::PixelAt(int32_t x, int32_t y) const {
  const uint8_t* p = Row(y) + static_cast<size_t>(x) * BytesPerPixel(format_);
  switch (format_) {
    case PixelFormat::kRgb24:
      return MakeArgb(255, p[2], p[1], p[0]);
    case PixelFormat::kArgb32:
      return MakeArgb(p[3], p[2], p[1], p[0]);
    case PixelFormat::kIndexed8:
      return *p < palette_.size() ? palette_[*p] : MakeArgb(255, 0, 0, 0);
  }
  return 0;
}

void Bitmap::SetPixel(int32_t x, int32_t y, Argb color) {
  uint8_t* p = Row(y) + static_cast<size_t>(x) * BytesPerPixel(format_);
  switch (format_) {
    case PixelFormat::kArgb32:
      p[3] = AlphaOf(color);
      [[fallthrough]];
    case PixelFormat::kRgb24:
      p[0] = BlueOf(color);
      p[1] = GreenOf(color);
      p[2] = RedOf(color);
      return;
    case PixelFormat::kIndexed8:
      p[0] = BlueOf(color);
      return;
  }
}

void Bitmap::Fill(Argb color) {
  for (int32_t x = 0; x < width_; ++x) SetPixel(x, 0, color);
  size_t rowBytes = static_cast<size_t>(width_) * BytesPerPixel(format_);
  for (int32_t y = 1; y < height_; ++y) std::memcpy(Row(y), Row(0), rowBytes);
}

ImageStatus Bitmap::RotateFlip(int32_t code) {
  if (code < kRotateNoneFlipNone || code > kRotate270FlipX) {
    lastStatus_ = ImageStatus::kInvalidParameter;
    return lastStatus_;
  }
  const int32_t quarterTurns = code & 3;
  const bool flipX = code >= kRotateNoneFlipX;
  if (quarterTurns == 0 && !flipX) return ImageStatus::kOk;
  const bool swapSides = (quarterTurns & 1) != 0;
  const int32_t newWidth = swapSides ? height_ : width_;
  const int32_t newHeight = swapSides ? width_ : height_;
  std::optional<Bitmap> turned = Create(newWidth, newHeight, format_);
  if (!turned) {
    lastStatus_ = ImageStatus::kOutOfMemory;
    return lastStatus_;
  }
  const size_t bpp = BytesPerPixel(format_);
  for (int32_t dy = 0; dy < newHeight; ++dy) {
    uint8_t* out = turned->Row(dy);
    for (int32_t dx = 0; dx < newWidth; ++dx) {
      // Undo the flip first, then the clockwise turn, to find the source pixel.
      const int32_t rx = flipX ? newWidth - 1 - dx : dx;
      int32_t sx = rx;
      int32_t sy = dy;
      switch (quarterTurns) {
        case 1:
          sx = dy;
          sy = height_ - 1 - rx;
          break;
        case 2:
          sx = width_ - 1 - rx;
          sy = height_ - 1 - dy;
          break;
        case 3:
          sx = width_ - 1 - dy;
          sy = rx;
          break;
        default:
          break;
      }
      std::memcpy(out + static_cast<size_t>(dx) * bpp, Row(sy) + static_cast<size_t>(sx) * bpp,
                  bpp);
    }
  }
  width_ = newWidth;
  height_ = newHeight;
  stride_ = turned->stride_;
  pixels_ = std::move(turned->pixels_);
  return ImageStatus::kOk;
}

std::optional<Bitmap> Bitmap::ConvertedTo(PixelFormat format) const {
  if (format == format_) return *this;
  if (format == PixelFormat::kIndexed8) return std::nullopt;
  std::optional<Bitmap> out = Create(width_, height_, format);
  if (!out) return std::nullopt;
  for (int32_t y = 0; y < height_; ++y) {
    for (int32_t x = 0; x < width_; ++x) {
      Argb c = PixelAt(x, y);
      if (format == PixelFormat::kRgb24) {
        uint8_t a = AlphaOf(c);
        c = MakeArgb(255, OverBlack(RedOf(c), a), OverBlack(GreenOf(c), a),
                     OverBlack(BlueOf(c), a));
      }
      out->SetPixel(x, y, c);
    }
  }
  return out;
}

}  // namespace qorva
