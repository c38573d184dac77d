// The portable bitmap the image code works on: a width, a height, a pixel format, rows
// of pixels top row first, and for indexed bitmaps a palette. Pixel bytes follow the
// Windows device-independent layout so that a back end can hand rows over unchanged:
//   kRgb24    3 bytes a pixel: blue, green, red;
//   kArgb32   4 bytes a pixel: blue, green, red, alpha (not premultiplied);
//   kIndexed8 1 byte a pixel: an index into the palette.
// Rows are padded to a multiple of 4 bytes (`stride`).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace qorva {

enum class PixelFormat { kRgb24, kArgb32, kIndexed8 };

// The status the imaging operations report: 0 for success. The numbers follow the
// platform imaging library's own, so that a status passes through unchanged.
enum class ImageStatus : int32_t {
  kOk = 0,
  kGenericError = 1,
  kInvalidParameter = 2,
  kOutOfMemory = 3,
  kNotImplemented = 6,
  kWin32Error = 7,
  kFileNotFound = 10,
  kValueOverflow = 11,
  kAccessDenied = 12,
  kUnknownImageFormat = 13,
};

// A colour as 0xAARRGGBB.
using Argb = uint32_t;
constexpr Argb MakeArgb(uint8_t a, uint8_t r, uint8_t g, uint8_t b) {
  return (Argb{a} << 24) | (Argb{r} << 16) | (Argb{g} << 8) | Argb{b};
}
constexpr uint8_t AlphaOf(Argb c) { return static_cast<uint8_t>(c >> 24); }
constexpr uint8_t RedOf(Argb c) { return static_cast<uint8_t>(c >> 16); }
constexpr uint8_t GreenOf(Argb c) { return static_cast<uint8_t>(c >> 8); }
constexpr uint8_t BlueOf(Argb c) { return static_cast<uint8_t>(c); }

// The largest bitmap the control makes or decodes. A picture that declares more is
// refused before anything is allocated for it.
inline constexpr int32_t kMaxImageDimension = 65535;
inline constexpr uint64_t kMaxImagePixels = uint64_t{1} << 26;  // 8192 by 8192

// The rotate/flip codes: a clockwise rotation by 0, 90, 180 or 270 degrees, then (codes
// 4 to 7) a horizontal flip.
enum RotateFlipCode : int32_t {
  kRotateNoneFlipNone = 0,
  kRotate90FlipNone = 1,
  kRotate180FlipNone = 2,
  kRotate270FlipNone = 3,
  kRotateNoneFlipX = 4,
  kRotate90FlipX = 5,
  kRotate180FlipX = 6,
  kRotate270FlipX = 7,
};

// Palette flag: the entries carry meaningful alpha.
inline constexpr uint32_t kPaletteHasAlpha = 1;

class Bitmap {
 public:
  // A bitmap of zeroed pixels (black, and transparent for kArgb32); none when a side is
  // not positive, the size passes the limits above or memory runs out.
  static std::optional<Bitmap> Create(int32_t width, int32_t height, PixelFormat format);
  // True when a bitmap of this size may be made.
  static bool SizeAllowed(int64_t width, int64_t height);

  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  PixelFormat format() const { return format_; }
  size_t stride() const { return stride_; }
  static size_t BytesPerPixel(PixelFormat format);

  uint8_t* Row(int32_t y) { return pixels_.data() + static_cast<size_t>(y) * stride_; }
  const uint8_t* Row(int32_t y) const { return pixels_.data() + static_cast<size_t>(y) * stride_; }

  // Indexed bitmaps only: up to 256 entries; pixels beyond the palette read as black.
  const std::vector<Argb>& palette() const { return palette_; }
  uint32_t paletteFlags() const { return paletteFlags_; }
  ImageStatus SetPalette(std::vector<Argb> entries, uint32_t flags);

  // The pixel at (x, y) as a colour, whatever the format; opaque for kRgb24.
  Argb PixelAt(int32_t x, int32_t y) const;
  // Sets the pixel at (x, y); indexed bitmaps take `color`'s low byte as the index.
  void SetPixel(int32_t x, int32_t y, Argb color);

  // Fills the whole bitmap (an indexed bitmap with the palette index in the low byte).
  void Fill(Argb color);

  // Rotates and flips in place by one of the codes above; on failure the bitmap is
  // unchanged and the status is also kept as the last status.
  ImageStatus RotateFlip(int32_t code);

  // A copy in `format`: pixels drawn onto a new zeroed bitmap (so transparency over
  // black for kRgb24). An indexed copy keeps the palette only from an indexed source.
  std::optional<Bitmap> ConvertedTo(PixelFormat format) const;

  // The status of the last operation that failed, kOk when none did.
  ImageStatus lastStatus() const { return lastStatus_; }
  void SetLastStatus(ImageStatus status) { lastStatus_ = status; }

 private:
  Bitmap(int32_t width, int32_t height, PixelFormat format, size_t stride,
         std::vector<uint8_t> pixels);

  int32_t width_;
  int32_t height_;
  PixelFormat format_;
  size_t stride_;
  std::vector<uint8_t> pixels_;
  std::vector<Argb> palette_;
  uint32_t paletteFlags_ = 0;
  ImageStatus lastStatus_ = ImageStatus::kOk;
};

}  // namespace qorva
