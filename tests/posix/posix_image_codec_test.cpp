#include <gtest/gtest.h>

#include "graphics/color_quantizer.h"
#include "graphics/test_images.h"
#include "platform/native_image_codec.h"
#include "support/encoding.h"
#include "support/image_files.h"
#include "support/image_fixtures.h"

namespace qorva {
namespace {

class CodecTest : public ::testing::Test {
 protected:
  ImageEncodeResult EncodeAs(const Bitmap& image, const char16_t* mime,
                             ImageEncoderParameters p = {}) {
    return codec_->Encode(image, *FindEncoder(*codec_, mime), p);
  }
  std::optional<Bitmap> RoundTrip(const Bitmap& image, const char16_t* mime,
                                  ImageEncoderParameters p = {}) {
    ImageEncodeResult encoded = EncodeAs(image, mime, p);
    if (encoded.status != ImageStatus::kOk) return std::nullopt;
    return codec_->Decode(encoded.bytes).image;
  }

  std::unique_ptr<ImageCodec> codec_ = CreateNativeImageCodec();
};

TEST_F(CodecTest, EncodersAreListedByMimeType) {
  std::vector<Text> mimes;
  for (const auto& encoder : codec_->Encoders()) mimes.push_back(encoder.mimeType);
  EXPECT_EQ(mimes, (std::vector<Text>{u"image/bmp", u"image/jpeg", u"image/gif", u"image/tiff",
                                      u"image/png"}));
  Bitmap image = test_images::Random(4, 4, 1);
  EXPECT_EQ(codec_->Encode(image, Guid{}, {}).status, ImageStatus::kInvalidParameter);
  for (int32_t quality : {-1, 101}) {
    EXPECT_EQ(EncodeAs(image, u"image/jpeg", {quality}).status, ImageStatus::kInvalidParameter)
        << quality;
  }
}

TEST_F(CodecTest, LosslessFormatsRoundTripExactly) {
  struct Case {
    const char16_t* mime;
    PixelFormat format;
    PixelFormat decoded;
  };
  const Case cases[] = {
      {u"image/png", PixelFormat::kRgb24, PixelFormat::kRgb24},
      {u"image/png", PixelFormat::kArgb32, PixelFormat::kArgb32},
      {u"image/bmp", PixelFormat::kRgb24, PixelFormat::kRgb24},
      {u"image/bmp", PixelFormat::kArgb32, PixelFormat::kArgb32},
      {u"image/tiff", PixelFormat::kRgb24, PixelFormat::kRgb24},
      {u"image/tiff", PixelFormat::kArgb32, PixelFormat::kArgb32},
  };
  for (const auto& c : cases) {
    // An odd width, so that row padding shows.
    Bitmap image = test_images::Random(37, 21, 7, c.format);
    if (c.format == PixelFormat::kArgb32) image.SetPixel(3, 3, MakeArgb(1, 2, 3, 4));
    auto back = RoundTrip(image, c.mime);
    ASSERT_TRUE(back) << ToUtf8(c.mime);
    EXPECT_EQ(back->format(), c.decoded) << ToUtf8(c.mime);
    EXPECT_EQ(fixtures::MaxDifference(*back, image), 0) << ToUtf8(c.mime);
  }
}

TEST_F(CodecTest, IndexedPicturesKeepPaletteAndIndicesInGifAndBmp) {
  Bitmap indexed = *Bitmap::Create(19, 7, PixelFormat::kIndexed8);
  std::vector<Argb> palette;
  for (int i = 0; i < 5; ++i) palette.push_back(MakeArgb(255, i * 50, 255 - i * 40, i * 7));
  indexed.SetPalette(palette, 0);
  for (int32_t y = 0; y < 7; ++y) {
    for (int32_t x = 0; x < 19; ++x) indexed.SetPixel(x, y, (x * 3 + y) % 5);
  }
  for (const char16_t* mime : {u"image/gif", u"image/bmp"}) {
    auto back = RoundTrip(indexed, mime);
    ASSERT_TRUE(back) << ToUtf8(mime);
    EXPECT_EQ(back->format(), PixelFormat::kIndexed8) << ToUtf8(mime);
    EXPECT_EQ(fixtures::MaxDifference(*back, indexed), 0) << ToUtf8(mime);
    ASSERT_GE(back->palette().size(), 5u);
    for (int32_t x = 0; x < 19; ++x) EXPECT_EQ(back->Row(4)[x], indexed.Row(4)[x]) << x;
  }
  // A clear palette entry becomes the GIF's transparent colour.
  palette[2] = MakeArgb(0, 9, 9, 9);
  indexed.SetPalette(palette, kPaletteHasAlpha);
  auto gif = RoundTrip(indexed, u"image/gif");
  ASSERT_TRUE(gif);
  EXPECT_EQ(AlphaOf(gif->palette()[2]), 0);
  EXPECT_EQ(AlphaOf(gif->palette()[1]), 255);
}

TEST_F(CodecTest, JpegStaysCloseAndQualityShowsInTheSize) {
  Bitmap photo = test_images::PhotoLike(120, 90, 3);
  auto fine = EncodeAs(photo, u"image/jpeg", {95});
  auto coarse = EncodeAs(photo, u"image/jpeg", {10});
  ASSERT_EQ(fine.status, ImageStatus::kOk);
  ASSERT_EQ(coarse.status, ImageStatus::kOk);
  EXPECT_LT(coarse.bytes.size() * 2, fine.bytes.size());
  auto back = codec_->Decode(fine.bytes);
  ASSERT_EQ(back.status, ImageStatus::kOk);
  EXPECT_EQ(back.image->format(), PixelFormat::kRgb24);
  EXPECT_LE(fixtures::MaxDifference(*back.image, photo), 40);
  // Alpha and palettes are dropped, not refused.
  EXPECT_TRUE(RoundTrip(test_images::Random(9, 9, 4, PixelFormat::kArgb32), u"image/jpeg", {80}));
  EXPECT_TRUE(RoundTrip(*QuantizeToIndexed(photo), u"image/jpeg", {80}));
}

TEST_F(CodecTest, FixturesDecodeLikeTheirReferences) {
  struct Case {
    const char* file;
    PixelFormat format;
    int tolerance;  // JPEG decoders may differ in rounding
  };
  const Case cases[] = {
      {"gray.jpg", PixelFormat::kRgb24, 2},           {"cmyk.jpg", PixelFormat::kRgb24, 12},
      {"progressive.jpg", PixelFormat::kRgb24, 2},    {"interlaced.gif", PixelFormat::kIndexed8, 0},
      {"palette-alpha.png", PixelFormat::kArgb32, 0}, {"deep16.png", PixelFormat::kRgb24, 1},
      {"mono.bmp", PixelFormat::kIndexed8, 0},        {"four.bmp", PixelFormat::kIndexed8, 0},
      {"eight.bmp", PixelFormat::kIndexed8, 0},       {"rgb565.bmp", PixelFormat::kRgb24, 0},
      {"alpha.tiff", PixelFormat::kArgb32, 1},        {"two-pages.tiff", PixelFormat::kRgb24, 0},
  };
  for (const auto& c : cases) {
    auto decoded = codec_->Decode(fixtures::Read(c.file));
    ASSERT_EQ(decoded.status, ImageStatus::kOk) << c.file;
    auto reference = codec_->Decode(fixtures::Read(std::string("ref/") + c.file + ".png"));
    ASSERT_EQ(reference.status, ImageStatus::kOk) << c.file;
    EXPECT_EQ(decoded.image->format(), c.format) << c.file;
    EXPECT_LE(fixtures::MaxDifference(*decoded.image, *reference.image), c.tolerance) << c.file;
  }
  // An interlaced GIF holds its rows in four passes; they land where they belong.
  auto plain = codec_->Decode(fixtures::Read("plain.gif"));
  auto interlaced = codec_->Decode(fixtures::Read("interlaced.gif"));
  ASSERT_TRUE(plain.image && interlaced.image);
  EXPECT_EQ(fixtures::MaxDifference(*plain.image, *interlaced.image), 0);
}

TEST_F(CodecTest, MalformedFilesFailCleanly) {
  const char* files[] = {
      "malformed/truncated.jpg",       "malformed/truncated.png",
      "malformed/truncated.gif",       "malformed/truncated.tiff",
      "malformed/truncated.bmp",       "malformed/noise.png",
      "malformed/noise.jpg",           "malformed/header-only.gif",
      "malformed/negative-height.bmp", "rle.bmp",
  };
  for (const char* file : files) {
    std::string bytes = fixtures::Read(file);
    ASSERT_FALSE(bytes.empty()) << file;
    auto decoded = codec_->Decode(bytes);
    EXPECT_NE(decoded.status, ImageStatus::kOk) << file;
    EXPECT_FALSE(decoded.image) << file;
  }
  EXPECT_EQ(codec_->Decode("").status, ImageStatus::kUnknownImageFormat);
  EXPECT_EQ(codec_->Decode("plain text").status, ImageStatus::kUnknownImageFormat);
}

TEST_F(CodecTest, DecompressionBombsAreRefusedBeforeAllocating) {
  for (const char* file : {"bomb.png", "bomb.gif", "bomb.bmp", "bomb.jpg", "bomb.tiff"}) {
    auto decoded = codec_->Decode(fixtures::Read(std::string("malformed/") + file));
    EXPECT_EQ(decoded.status, ImageStatus::kOutOfMemory) << file;
  }
}

}  // namespace
}  // namespace qorva
