#include "graphics/bitmap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/bitmap_drawing.h"

namespace qorva {
namespace {

const PixelFormat kFormats[] = {PixelFormat::kRgb24, PixelFormat::kArgb32, PixelFormat::kIndexed8};

const char* Name(PixelFormat format) {
  switch (format) {
    case PixelFormat::kRgb24:
      return "rgb24";
    case PixelFormat::kArgb32:
      return "argb32";
    case PixelFormat::kIndexed8:
      return "indexed8";
  }
  return "?";
}

TEST(Bitmap, CreationRefusesEmptyAndAbsurdSizes) {
  struct Case {
    int32_t width, height;
    bool made;
  };
  const Case cases[] = {
      {1, 1, true},        {0, 5, false},         {5, -1, false},
      {65535, 1, true},    {65536, 1, false},     {8192, 8192, true},
      {8192, 8193, false}, {65535, 65535, false}, {3, 2, true},
  };
  for (const auto& c : cases) {
    auto image = Bitmap::Create(c.width, c.height, PixelFormat::kRgb24);
    EXPECT_EQ(image.has_value(), c.made) << c.width << "x" << c.height;
  }
  // Rows are padded to four bytes and start zeroed.
  auto image = Bitmap::Create(3, 2, PixelFormat::kRgb24);
  EXPECT_EQ(image->stride(), 12u);
  EXPECT_EQ(image->PixelAt(2, 1), MakeArgb(255, 0, 0, 0));
  EXPECT_EQ(Bitmap::Create(3, 2, PixelFormat::kIndexed8)->stride(), 4u);
}

TEST(Bitmap, PixelsReadBackInEveryFormat) {
  auto rgb = *Bitmap::Create(2, 2, PixelFormat::kRgb24);
  rgb.SetPixel(1, 1, MakeArgb(7, 10, 20, 30));
  EXPECT_EQ(rgb.PixelAt(1, 1), MakeArgb(255, 10, 20, 30)) << "no alpha in rgb24";
  EXPECT_EQ(rgb.Row(1)[3], 30) << "blue first";

  auto argb = *Bitmap::Create(2, 2, PixelFormat::kArgb32);
  argb.SetPixel(0, 1, MakeArgb(7, 10, 20, 30));
  EXPECT_EQ(argb.PixelAt(0, 1), MakeArgb(7, 10, 20, 30));

  auto indexed = *Bitmap::Create(2, 2, PixelFormat::kIndexed8);
  ASSERT_EQ(indexed.SetPalette({MakeArgb(255, 1, 2, 3), MakeArgb(0, 4, 5, 6)}, 1),
            ImageStatus::kOk);
  indexed.SetPixel(1, 0, 1);
  indexed.SetPixel(0, 1, 9);  // past the palette
  EXPECT_EQ(indexed.PixelAt(1, 0), MakeArgb(0, 4, 5, 6));
  EXPECT_EQ(indexed.PixelAt(0, 0), MakeArgb(255, 1, 2, 3));
  EXPECT_EQ(indexed.PixelAt(0, 1), MakeArgb(255, 0, 0, 0));
  EXPECT_EQ(indexed.SetPalette(std::vector<Argb>(257), 0), ImageStatus::kInvalidParameter);
  EXPECT_EQ(rgb.SetPalette({1}, 0), ImageStatus::kInvalidParameter);
}

// The picture  a b c   as letters, one colour each, for following pixels around.
//              d e f
Bitmap Letters(PixelFormat format) {
  auto image = *Bitmap::Create(3, 2, format);
  if (format == PixelFormat::kIndexed8) {
    std::vector<Argb> palette;
    for (char c = 'a'; c <= 'f'; ++c) palette.push_back(MakeArgb(255, c, 0, 0));
    image.SetPalette(palette, 0);
  }
  for (int32_t y = 0; y < 2; ++y) {
    for (int32_t x = 0; x < 3; ++x) {
      int32_t i = y * 3 + x;
      image.SetPixel(x, y, format == PixelFormat::kIndexed8 ? i : MakeArgb(255, 'a' + i, 0, 0));
    }
  }
  return image;
}

std::string Spell(const Bitmap& image) {
  std::string out;
  for (int32_t y = 0; y < image.height(); ++y) {
    if (y) out += '/';
    for (int32_t x = 0; x < image.width(); ++x)
      out += static_cast<char>(RedOf(image.PixelAt(x, y)));
  }
  return out;
}

TEST(Bitmap, RotateFlipCodesTurnClockwiseThenMirror) {
  const char* expected[8] = {
      "abc/def",   // 0: unchanged
      "da/eb/fc",  // 1: a quarter turn clockwise
      "fed/cba",   // 2: half a turn
      "cf/be/ad",  // 3: three quarters
      "cba/fed",   // 4: mirrored left to right
      "ad/be/cf",  // 5: quarter turn, mirrored
      "def/abc",   // 6: half turn, mirrored (upside down)
      "fc/eb/da",  // 7: three quarters, mirrored
  };
  for (PixelFormat format : kFormats) {
    for (int32_t code = 0; code < 8; ++code) {
      Bitmap image = Letters(format);
      EXPECT_EQ(image.RotateFlip(code), ImageStatus::kOk);
      EXPECT_EQ(Spell(image), expected[code]) << Name(format) << " code " << code;
      EXPECT_EQ(image.format(), format);
    }
  }
}

TEST(Bitmap, RotationSwapsSidesAndBadCodesLeaveTheImage) {
  auto wide = *Bitmap::Create(100, 50, PixelFormat::kRgb24);
  EXPECT_EQ(wide.RotateFlip(kRotate90FlipNone), ImageStatus::kOk);
  EXPECT_EQ(wide.width(), 50);
  EXPECT_EQ(wide.height(), 100);
  EXPECT_EQ(wide.stride(), 152u);

  Bitmap image = Letters(PixelFormat::kRgb24);
  for (int32_t code : {-1, 8, 1000}) {
    EXPECT_EQ(image.RotateFlip(code), ImageStatus::kInvalidParameter) << code;
    EXPECT_EQ(image.lastStatus(), ImageStatus::kInvalidParameter) << code;
    EXPECT_EQ(Spell(image), "abc/def") << code;
  }
}

TEST(Bitmap, ConversionsDropAlphaOverBlackAndExpandPalettes) {
  auto argb = *Bitmap::Create(2, 1, PixelFormat::kArgb32);
  argb.SetPixel(0, 0, MakeArgb(128, 255, 100, 0));
  argb.SetPixel(1, 0, MakeArgb(0, 255, 255, 255));
  auto rgb = argb.ConvertedTo(PixelFormat::kRgb24);
  ASSERT_TRUE(rgb);
  EXPECT_EQ(rgb->PixelAt(0, 0), MakeArgb(255, 128, 50, 0));
  EXPECT_EQ(rgb->PixelAt(1, 0), MakeArgb(255, 0, 0, 0));

  Bitmap letters = Letters(PixelFormat::kIndexed8);
  auto expanded = letters.ConvertedTo(PixelFormat::kArgb32);
  ASSERT_TRUE(expanded);
  EXPECT_EQ(Spell(*expanded), "abc/def");
  EXPECT_FALSE(argb.ConvertedTo(PixelFormat::kIndexed8)) << "that takes a quantiser";
}

}  // namespace
}  // namespace qorva
