#include "images/qorva_view.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "../support/temp_dir_fixture.h"
#include "platform/image_codec.h"
#include "platform/memory/memory_platform.h"
#include "support/encoding.h"
#include "support/image_files.h"

namespace qorva {
namespace {

class CanvasTest : public ::testing::Test {
 protected:
  // Writes `image` as a PNG in the test's folder and loads it into the canvas.
  void Load(const Bitmap& image) {
    std::filesystem::path file = temp_.path() / "picture.png";
    Bitmap copy = image;
    ASSERT_EQ(SaveImageFile(platform_.codec(), u"png", FromUtf8(file.string()), kRotateNoneFlipX,
                            copy, 100),
              ImageStatus::kOk);
    canvas_.LoadImageFile(FromUtf8(file.string()));
    ASSERT_NE(canvas_.image(), nullptr);
  }

  Argb At(int32_t x, int32_t y) const { return canvas_.image()->PixelAt(x, y); }

  ScopedTemporaryDirectory temp_;
  MemoryPlatform platform_;
  CQorvaView canvas_{platform_.codec(), platform_.system};
};

Bitmap Solid(int32_t width, int32_t height, PixelFormat format, Argb color) {
  Bitmap image = *Bitmap::Create(width, height, format);
  image.Fill(color);
  return image;
}

// Every pixel different, so that a turn or mirror that lands one pixel wrong shows.
Bitmap Gradient(int32_t width, int32_t height) {
  Bitmap image = *Bitmap::Create(width, height, PixelFormat::kRgb24);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      image.SetPixel(x, y,
                     MakeArgb(255, static_cast<uint8_t>(x * 37 + y), static_cast<uint8_t>(y * 11),
                              static_cast<uint8_t>(x * y + 3)));
    }
  }
  return image;
}

bool SamePixels(const Bitmap& a, const Bitmap& b) {
  if (a.width() != b.width() || a.height() != b.height()) return false;
  for (int32_t y = 0; y < a.height(); ++y) {
    for (int32_t x = 0; x < a.width(); ++x) {
      if (a.PixelAt(x, y) != b.PixelAt(x, y)) return false;
    }
  }
  return true;
}

void ExpectColor(Argb actual, int r, int g, int b, const std::string& what) {
  EXPECT_NEAR(RedOf(actual), r, 1) << what;
  EXPECT_NEAR(GreenOf(actual), g, 1) << what;
  EXPECT_NEAR(BlueOf(actual), b, 1) << what;
}

TEST_F(CanvasTest, DoesNothingBeforeALoad) {
  canvas_.RotateRight();
  canvas_.RotateLeft();
  canvas_.MirrorLeftRight();
  canvas_.MirrorUpDown();
  canvas_.ApplyGray();
  canvas_.ApplyInvert();
  canvas_.ApplySepia();
  canvas_.Darken();
  canvas_.Brighten();
  canvas_.ResizeImage(10, 10);
  EXPECT_FALSE(canvas_.imageLoaded());
  EXPECT_EQ(canvas_.image(), nullptr);
  EXPECT_EQ(canvas_.brightnessShift(), 0.0f);
  EXPECT_EQ(canvas_.ExportJpeg(), u"");
  EXPECT_EQ(canvas_.ImageSize().width, 0);
}

TEST_F(CanvasTest, ColourOperationsGiveTheMatrixColours) {
  struct Case {
    const char* name;
    Argb input;
    void (CQorvaView::*operation)();
    int r, g, b;
  };
  const Case cases[] = {
      {"grey of red", MakeArgb(255, 255, 0, 0), &CQorvaView::ApplyGray, 79, 79, 79},
      {"grey of white", MakeArgb(255, 255, 255, 255), &CQorvaView::ApplyGray, 255, 255, 255},
      {"sepia of white", MakeArgb(255, 255, 255, 255), &CQorvaView::ApplySepia, 255, 255, 239},
      {"sepia of black", MakeArgb(255, 0, 0, 0), &CQorvaView::ApplySepia, 0, 0, 0},
      {"invert", MakeArgb(255, 10, 128, 250), &CQorvaView::ApplyInvert, 245, 127, 5},
      {"brighten", MakeArgb(255, 100, 0, 200), &CQorvaView::Brighten, 105, 5, 205},
      {"brighten white", MakeArgb(255, 255, 255, 255), &CQorvaView::Brighten, 255, 255, 255},
      {"darken", MakeArgb(255, 100, 0, 200), &CQorvaView::Darken, 95, 0, 195},
  };
  for (PixelFormat format : {PixelFormat::kRgb24, PixelFormat::kArgb32}) {
    for (const Case& c : cases) {
      Load(Solid(3, 2, format, c.input));
      (canvas_.*c.operation)();
      ExpectColor(At(2, 1), c.r, c.g, c.b, c.name);
      EXPECT_EQ(AlphaOf(At(2, 1)), 255) << c.name;
    }
  }
}

TEST_F(CanvasTest, InvertTwiceRestoresEveryOpaquePixel) {
  Bitmap original = Gradient(40, 30);
  Load(original);
  canvas_.ApplyInvert();
  EXPECT_FALSE(SamePixels(*canvas_.image(), original));
  canvas_.ApplyInvert();
  EXPECT_TRUE(SamePixels(*canvas_.image(), original));
}

TEST_F(CanvasTest, BrightnessShiftAccumulatesAndResetsOnLoad) {
  Load(Solid(2, 2, PixelFormat::kRgb24, MakeArgb(255, 200, 200, 200)));
  canvas_.Darken();  // -0.02
  canvas_.Darken();  // -0.04
  canvas_.Darken();  // -0.06: 0.12 in all, about 31
  ExpectColor(At(0, 0), 169, 169, 169, "three darkens");
  canvas_.Brighten();  // the shift is now -0.04
  EXPECT_NEAR(canvas_.brightnessShift(), -0.04f, 1e-6f);
  ExpectColor(At(0, 0), 159, 159, 159, "then a brighten");
  Load(Solid(2, 2, PixelFormat::kRgb24, MakeArgb(255, 200, 200, 200)));
  EXPECT_EQ(canvas_.brightnessShift(), 0.0f);
}

TEST_F(CanvasTest, QuarterTurnsAndMirrorsMovePixelsLosslessly) {
  const Bitmap original = Gradient(7, 4);
  Load(original);
  canvas_.RotateRight();
  ASSERT_EQ(canvas_.ImageSize().width, 4);
  ASSERT_EQ(canvas_.ImageSize().height, 7);
  EXPECT_EQ(At(3, 0), original.PixelAt(0, 0));  // top left goes to top right
  EXPECT_EQ(At(0, 6), original.PixelAt(6, 3));  // bottom right goes to bottom left
  canvas_.RotateLeft();
  EXPECT_TRUE(SamePixels(*canvas_.image(), original));
  for (int i = 0; i < 4; ++i) canvas_.RotateRight();
  EXPECT_TRUE(SamePixels(*canvas_.image(), original));
  canvas_.RotateLeft();
  EXPECT_EQ(At(0, 6), original.PixelAt(0, 0));  // top left goes to bottom left
  canvas_.RotateRight();

  canvas_.MirrorLeftRight();
  EXPECT_EQ(At(6, 1), original.PixelAt(0, 1));
  canvas_.MirrorLeftRight();
  canvas_.MirrorUpDown();
  EXPECT_EQ(At(2, 3), original.PixelAt(2, 0));
  canvas_.MirrorUpDown();
  EXPECT_TRUE(SamePixels(*canvas_.image(), original));
}

// Left opaque red, right transparent.
Bitmap HalfTransparent(int32_t width, int32_t height) {
  Bitmap image = *Bitmap::Create(width, height, PixelFormat::kArgb32);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width / 2; ++x) image.SetPixel(x, y, MakeArgb(255, 255, 0, 0));
  }
  return image;
}

TEST_F(CanvasTest, ResizeFlattensOntoWhiteAndScalesSmoothly) {
  Load(HalfTransparent(40, 20));
  canvas_.ResizeImage(20, 30);
  ASSERT_EQ(canvas_.ImageSize().width, 20);
  ASSERT_EQ(canvas_.ImageSize().height, 30);
  ExpectColor(At(2, 15), 255, 0, 0, "opaque side");
  ExpectColor(At(18, 15), 255, 255, 255, "transparent side");
  // At the edge the filter mixes red and white: neither of them.
  EXPECT_GT(GreenOf(At(10, 15)), 20);
  EXPECT_LT(GreenOf(At(10, 15)), 235);

  const Bitmap before = *canvas_.image();
  for (auto [w, h] : {std::pair{0, 10}, std::pair{10, -1}, std::pair{70000, 10}}) {
    canvas_.ResizeImage(w, h);
    EXPECT_TRUE(SamePixels(*canvas_.image(), before)) << w << "x" << h;
  }
}

TEST_F(CanvasTest, ExportWritesAJpegOnWhite) {
  Load(HalfTransparent(32, 16));
  Text path = canvas_.ExportJpeg();
  EXPECT_TRUE(path.ends_with(u".jpg"));
  EXPECT_NE(path.find(u"qorvaTemp"), Text::npos);
  ImageDecodeResult written = LoadImageFile(platform_.codec(), path);
  ASSERT_TRUE(written.image);
  ExpectColor(written.image->PixelAt(26, 8), 255, 255, 255, "transparent part");
  EXPECT_GT(RedOf(written.image->PixelAt(4, 8)), 245);
  EXPECT_LT(GreenOf(written.image->PixelAt(4, 8)), 10);
  // The canvas keeps its transparency.
  EXPECT_EQ(AlphaOf(At(26, 8)), 0);
}

TEST_F(CanvasTest, AFileThatDoesNotDecodeLeavesAnEmptyLoadedCanvas) {
  std::filesystem::path file = temp_.path() / "broken.png";
  ScopedTemporaryDirectory::WriteBytes(file, "not a picture");
  canvas_.LoadImageFile(FromUtf8(file.string()));
  EXPECT_TRUE(canvas_.imageLoaded());
  EXPECT_EQ(canvas_.image(), nullptr);
  canvas_.RotateRight();
  canvas_.ApplyGray();
  Text path = canvas_.ExportJpeg();
  EXPECT_FALSE(path.empty());
  EXPECT_FALSE(std::filesystem::exists(ToUtf8(path)));
}

}  // namespace
}  // namespace qorva
