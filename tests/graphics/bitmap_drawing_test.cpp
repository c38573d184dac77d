#include "graphics/bitmap_drawing.h"

#include <gtest/gtest.h>

namespace qorva {
namespace {

constexpr Argb kRed = MakeArgb(255, 255, 0, 0);
constexpr Argb kBlue = MakeArgb(255, 0, 0, 255);

TEST(FillRect, ClipsToTheBitmap) {
  auto image = *Bitmap::Create(4, 3, PixelFormat::kArgb32);
  EXPECT_EQ(FillRect(image, {-2, 1, 4, 10}, MakeArgb(9, 1, 2, 3)), ImageStatus::kOk);
  for (int32_t y = 0; y < 3; ++y) {
    for (int32_t x = 0; x < 4; ++x) {
      bool inside = y >= 1 && x < 2;
      EXPECT_EQ(image.PixelAt(x, y), inside ? MakeArgb(9, 1, 2, 3) : 0u) << x << "," << y;
    }
  }
  auto indexed = *Bitmap::Create(4, 3, PixelFormat::kIndexed8);
  EXPECT_EQ(FillRect(indexed, {0, 0, 1, 1}, 0), ImageStatus::kInvalidParameter);
}

TEST(DrawBitmap, BlendsByAlphaOntoOpaqueAndTranslucentDestinations) {
  struct Case {
    const char* name;
    PixelFormat destFormat;
    Argb dest;
    Argb src;
    Argb expected;
  };
  const Case cases[] = {
      {"opaque source replaces", PixelFormat::kRgb24, kBlue, kRed, kRed},
      {"clear source keeps", PixelFormat::kRgb24, kBlue, MakeArgb(0, 255, 0, 0), kBlue},
      {"half over opaque", PixelFormat::kRgb24, kBlue, MakeArgb(128, 255, 0, 0),
       MakeArgb(255, 128, 0, 127)},
      {"onto nothing keeps the source", PixelFormat::kArgb32, 0, MakeArgb(77, 10, 20, 30),
       MakeArgb(77, 10, 20, 30)},
      {"half over half", PixelFormat::kArgb32, MakeArgb(128, 0, 0, 255), MakeArgb(128, 255, 0, 0),
       MakeArgb(192, 170, 0, 85)},
  };
  for (const auto& c : cases) {
    auto dest = *Bitmap::Create(1, 1, c.destFormat);
    dest.SetPixel(0, 0, c.dest);
    auto src = *Bitmap::Create(1, 1, PixelFormat::kArgb32);
    src.SetPixel(0, 0, c.src);
    EXPECT_EQ(DrawBitmap(dest, src, 0, 0), ImageStatus::kOk) << c.name;
    EXPECT_EQ(dest.PixelAt(0, 0), c.expected)
        << c.name << std::hex << " got " << dest.PixelAt(0, 0);
  }
}

TEST(DrawBitmap, PlacesAndClipsAtAnOffset) {
  auto dest = *Bitmap::Create(3, 3, PixelFormat::kRgb24);
  auto src = *Bitmap::Create(2, 2, PixelFormat::kRgb24);
  src.SetPixel(0, 0, MakeArgb(255, 1, 0, 0));
  src.SetPixel(1, 0, MakeArgb(255, 2, 0, 0));
  src.SetPixel(0, 1, MakeArgb(255, 3, 0, 0));
  src.SetPixel(1, 1, MakeArgb(255, 4, 0, 0));
  EXPECT_EQ(DrawBitmap(dest, src, -1, 2), ImageStatus::kOk);
  EXPECT_EQ(RedOf(dest.PixelAt(0, 2)), 2);
  EXPECT_EQ(RedOf(dest.PixelAt(1, 2)), 0);
  EXPECT_EQ(RedOf(dest.PixelAt(0, 1)), 0);
  EXPECT_EQ(DrawBitmap(dest, src, 5, 5), ImageStatus::kOk) << "wholly outside draws nothing";
}

TEST(DrawBitmapScaled, InterpolatesBetweenPixelCentres) {
  auto src = *Bitmap::Create(2, 1, PixelFormat::kRgb24);
  src.SetPixel(0, 0, MakeArgb(255, 0, 0, 0));
  src.SetPixel(1, 0, MakeArgb(255, 255, 255, 255));
  auto dest = *Bitmap::Create(4, 2, PixelFormat::kRgb24);
  EXPECT_EQ(DrawBitmapScaled(dest, {0, 0, 4, 2}, src), ImageStatus::kOk);
  const uint8_t expected[4] = {0, 64, 191, 255};
  for (int32_t y = 0; y < 2; ++y) {
    for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(RedOf(dest.PixelAt(x, y)), expected[x]) << x;
  }
}

TEST(DrawBitmapScaled, SameSizeCopiesAndSourceRectanglesCrop) {
  auto src = *Bitmap::Create(5, 4, PixelFormat::kArgb32);
  for (int32_t y = 0; y < 4; ++y) {
    for (int32_t x = 0; x < 5; ++x) src.SetPixel(x, y, MakeArgb(255, x * 50, y * 60, 7));
  }
  auto copy = *Bitmap::Create(5, 4, PixelFormat::kArgb32);
  EXPECT_EQ(DrawBitmapScaled(copy, {0, 0, 5, 4}, src), ImageStatus::kOk);
  auto crop = *Bitmap::Create(2, 2, PixelFormat::kArgb32);
  EXPECT_EQ(DrawBitmapScaled(crop, {0, 0, 2, 2}, src, {3, 2, 2, 2}), ImageStatus::kOk);
  for (int32_t y = 0; y < 4; ++y) {
    for (int32_t x = 0; x < 5; ++x)
      EXPECT_EQ(copy.PixelAt(x, y), src.PixelAt(x, y)) << x << "," << y;
  }
  EXPECT_EQ(crop.PixelAt(0, 0), src.PixelAt(3, 2));
  EXPECT_EQ(crop.PixelAt(1, 1), src.PixelAt(4, 3));
  EXPECT_EQ(DrawBitmapScaled(crop, {0, 0, 2, 2}, src, {4, 0, 2, 1}),
            ImageStatus::kInvalidParameter);
}

TEST(DrawBitmapScaled, TransparentNeighboursLendNoColour) {
  auto src = *Bitmap::Create(2, 1, PixelFormat::kArgb32);
  src.SetPixel(0, 0, kRed);
  src.SetPixel(1, 0, MakeArgb(0, 0, 255, 0));  // clear green
  auto dest = *Bitmap::Create(4, 1, PixelFormat::kArgb32);
  DrawBitmapScaled(dest, {0, 0, 4, 1}, src);
  for (int32_t x = 0; x < 3; ++x) {
    EXPECT_EQ(GreenOf(dest.PixelAt(x, 0)), 0) << x;
    EXPECT_EQ(RedOf(dest.PixelAt(x, 0)), 255) << x;
  }
  EXPECT_EQ(AlphaOf(dest.PixelAt(1, 0)), 191);
  EXPECT_EQ(AlphaOf(dest.PixelAt(3, 0)), 0);
}

TEST(ApplyColorMatrix, TransformsClampsAndReachesPalettes) {
  ColorMatrix invert = kIdentityColorMatrix;
  for (int i = 0; i < 3; ++i) {
    invert[i][i] = -1;
    invert[4][i] = 1;
  }
  ColorMatrix brighten = kIdentityColorMatrix;
  for (int i = 0; i < 3; ++i) brighten[4][i] = 0.5f;
  ColorMatrix halfAlpha = kIdentityColorMatrix;
  halfAlpha[3][3] = 0.5f;
  ColorMatrix grey = {};  // every channel takes the luminance
  for (int j = 0; j < 3; ++j) {
    grey[0][j] = 0.299f;
    grey[1][j] = 0.587f;
    grey[2][j] = 0.114f;
  }
  grey[3][3] = 1;
  grey[4][4] = 1;
  struct Case {
    const char* name;
    const ColorMatrix& matrix;
    Argb in;
    Argb out;
  };
  const Case cases[] = {
      {"invert", invert, MakeArgb(200, 0, 100, 255), MakeArgb(200, 255, 155, 0)},
      {"brighten clamps", brighten, MakeArgb(255, 200, 10, 0), MakeArgb(255, 255, 138, 128)},
      {"alpha scales", halfAlpha, MakeArgb(200, 1, 2, 3), MakeArgb(100, 1, 2, 3)},
      {"grey", grey, MakeArgb(255, 255, 0, 0), MakeArgb(255, 76, 76, 76)},
  };
  for (const auto& c : cases) {
    auto image = *Bitmap::Create(1, 1, PixelFormat::kArgb32);
    image.SetPixel(0, 0, c.in);
    EXPECT_EQ(ApplyColorMatrix(image, c.matrix), ImageStatus::kOk) << c.name;
    EXPECT_EQ(image.PixelAt(0, 0), c.out) << c.name << std::hex << " got " << image.PixelAt(0, 0);
  }
  auto indexed = *Bitmap::Create(1, 1, PixelFormat::kIndexed8);
  indexed.SetPalette({MakeArgb(255, 0, 100, 255)}, 0);
  EXPECT_EQ(ApplyColorMatrix(indexed, invert), ImageStatus::kOk);
  EXPECT_EQ(indexed.palette()[0], MakeArgb(255, 255, 155, 0));
}

}  // namespace
}  // namespace qorva
