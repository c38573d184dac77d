// Pictures for the image tests and the benchmark: random noise, smooth photo-like
// scenes and pictures with a known number of colours.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>

#include "graphics/bitmap.h"

namespace qorva::test_images {

inline Bitmap Random(int32_t width, int32_t height, uint32_t seed,
                     PixelFormat format = PixelFormat::kRgb24) {
  Bitmap image = *Bitmap::Create(width, height, format);
  std::mt19937 random(seed);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) image.SetPixel(x, y, random());
  }
  return image;
}

// Soft gradients, a few bright blobs and a little grain, as a photo has.
inline Bitmap PhotoLike(int32_t width, int32_t height, uint32_t seed) {
  Bitmap image = *Bitmap::Create(width, height, PixelFormat::kRgb24);
  std::mt19937 random(seed);
  std::normal_distribution<double> grain(0.0, 6.0);
  std::uniform_real_distribution<double> place(0.0, 1.0);
  struct Blob {
    double x, y, radius, r, g, b;
  } blobs[5];
  for (Blob& blob : blobs) {
    blob = {place(random) * width, place(random) * height, (0.1 + place(random) * 0.3) * width,
            place(random) * 255,   place(random) * 255,    place(random) * 255};
  }
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      double sky = static_cast<double>(y) / height;
      double r = 40 + 120 * sky, g = 90 + 100 * sky, b = 200 - 90 * sky;
      for (const Blob& blob : blobs) {
        double d = std::hypot(x - blob.x, y - blob.y) / blob.radius;
        double w = std::exp(-d * d);
        r = r * (1 - w) + blob.r * w;
        g = g * (1 - w) + blob.g * w;
        b = b * (1 - w) + blob.b * w;
      }
      auto channel = [&](double v) {
        return static_cast<uint8_t>(std::clamp(std::lround(v + grain(random)), 0L, 255L));
      };
      image.SetPixel(x, y, MakeArgb(255, channel(r), channel(g), channel(b)));
    }
  }
  return image;
}

// `colors` distinct colours, each covering a band of the picture.
inline Bitmap Bands(int32_t width, int32_t height, uint32_t colors) {
  Bitmap image = *Bitmap::Create(width, height, PixelFormat::kRgb24);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      uint32_t i = static_cast<uint32_t>(static_cast<uint64_t>(y * width + x) * colors /
                                         (static_cast<uint64_t>(width) * height));
      // Distinct for up to 1024 colours, and apart in their high bits.
      image.SetPixel(x, y,
                     MakeArgb(255, static_cast<uint8_t>((i & 15) << 4),
                              static_cast<uint8_t>(((i >> 4) & 15) << 4),
                              static_cast<uint8_t>((((i >> 8) & 3) << 6) | 32)));
    }
  }
  return image;
}

}  // namespace qorva::test_images
