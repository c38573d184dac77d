#include "graphics/color_quantizer.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "graphics/literal_octree_quantizer.h"
#include "graphics/test_images.h"

namespace qorva {
namespace {

// The first difference between two indexed bitmaps, or "" when they are the same.
std::string Difference(const Bitmap& a, const Bitmap& b) {
  if (a.palette().size() != b.palette().size()) {
    return "palette sizes " + std::to_string(a.palette().size()) + " and " +
           std::to_string(b.palette().size());
  }
  for (size_t i = 0; i < a.palette().size(); ++i) {
    if (a.palette()[i] != b.palette()[i]) return "palette entry " + std::to_string(i);
  }
  if (a.paletteFlags() != b.paletteFlags()) return "palette flags";
  for (int32_t y = 0; y < a.height(); ++y) {
    for (int32_t x = 0; x < a.width(); ++x) {
      if (a.Row(y)[x] != b.Row(y)[x]) {
        return "index at " + std::to_string(x) + "," + std::to_string(y);
      }
    }
  }
  return "";
}

TEST(QuantizeToIndexed, MatchesTheLiteralAlgorithm) {
  struct Case {
    const char* name;
    Bitmap image;
    uint32_t maxColors;
  };
  Case cases[] = {
      {"random 64x48", test_images::Random(64, 48, 1), 256},
      {"random 200x150", test_images::Random(200, 150, 2), 256},
      {"random 97x31 to 8", test_images::Random(97, 31, 3), 8},
      {"random 120x80 to 17", test_images::Random(120, 80, 4), 17},
      {"photo 320x240", test_images::PhotoLike(320, 240, 5), 256},
      {"photo 257x131", test_images::PhotoLike(257, 131, 6), 256},
      {"photo 160x90 to 64", test_images::PhotoLike(160, 90, 7), 64},
      {"300 bands", test_images::Bands(60, 50, 300), 256},
      {"256 bands", test_images::Bands(64, 40, 256), 256},
      {"one colour", test_images::Bands(10, 10, 1), 256},
  };
  for (auto& c : cases) {
    auto expected = literal::Quantize(c.image, c.maxColors);
    ASSERT_TRUE(expected) << c.name;
    auto actual = *Bitmap::Create(c.image.width(), c.image.height(), PixelFormat::kIndexed8);
    QColorQuantizer quantizer;
    ASSERT_TRUE(quantizer.Quantize(c.image, actual, c.maxColors)) << c.name;
    EXPECT_EQ(Difference(actual, *expected), "") << c.name;
    EXPECT_LE(actual.palette().size(), c.maxColors) << c.name;
  }
}

TEST(QuantizeToIndexed, KeepsFewColoursExactlyAndCapsMany) {
  struct Case {
    uint32_t colors;
    size_t entries;  // 0: at most 256
  };
  for (const Case c : {Case{1, 1}, Case{2, 2}, Case{200, 200}, Case{256, 256}, Case{300, 0}}) {
    Bitmap image = test_images::Bands(40, 30, c.colors);
    auto indexed = QuantizeToIndexed(image);
    ASSERT_TRUE(indexed) << c.colors;
    EXPECT_EQ(indexed->format(), PixelFormat::kIndexed8);
    EXPECT_EQ(indexed->paletteFlags(), kPaletteHasAlpha);
    if (c.entries) {
      EXPECT_EQ(indexed->palette().size(), c.entries) << c.colors;
      // With room for every colour, each pixel keeps its own.
      for (int32_t y = 0; y < image.height(); ++y) {
        for (int32_t x = 0; x < image.width(); ++x) {
          ASSERT_EQ(indexed->PixelAt(x, y), image.PixelAt(x, y)) << c.colors << " at " << x;
        }
      }
    } else {
      EXPECT_LE(indexed->palette().size(), 256u);
      EXPECT_GE(indexed->palette().size(), 200u) << "folding stops as soon as it fits";
    }
  }
}

TEST(QuantizeToIndexed, DrawsOtherFormatsOntoBlackFirst) {
  auto argb = *Bitmap::Create(4, 4, PixelFormat::kArgb32);
  argb.Fill(MakeArgb(0, 255, 255, 255));
  argb.SetPixel(0, 0, MakeArgb(255, 200, 100, 50));
  auto indexed = QuantizeToIndexed(argb);
  ASSERT_TRUE(indexed);
  std::set<Argb> colors(indexed->palette().begin(), indexed->palette().end());
  EXPECT_EQ(colors, (std::set<Argb>{MakeArgb(255, 0, 0, 0), MakeArgb(255, 200, 100, 50)}));
  EXPECT_EQ(indexed->PixelAt(0, 0), MakeArgb(255, 200, 100, 50));
  EXPECT_EQ(indexed->PixelAt(3, 3), MakeArgb(255, 0, 0, 0));
}

TEST(QColorQuantizer, RefusesFewerThanEightColoursAndMismatchedBitmaps) {
  Bitmap image = test_images::Random(8, 8, 9);
  auto result = *Bitmap::Create(8, 8, PixelFormat::kIndexed8);
  QColorQuantizer quantizer;
  EXPECT_FALSE(quantizer.Quantize(image, result, 7));
  auto small = *Bitmap::Create(4, 8, PixelFormat::kIndexed8);
  EXPECT_FALSE(quantizer.Quantize(image, small, 256));
  EXPECT_FALSE(quantizer.Quantize(image, image, 256));
  EXPECT_TRUE(quantizer.Quantize(image, result, 8));
  EXPECT_FALSE(literal::Quantize(image, 7));
}

}  // namespace
}  // namespace qorva
