#include "support/image_files.h"

#include <gtest/gtest.h>

#include "graphics/color_quantizer.h"
#include "graphics/test_images.h"
#include "platform/native_image_codec.h"
#include "support/encoding.h"
#include "support/file_path.h"
#include "support/temp_dir_fixture.h"

namespace qorva {
namespace {

namespace fs = std::filesystem;

// The native codec, remembering what each encode was asked.
class RecordingCodec final : public ImageCodec {
 public:
  struct Call {
    Guid clsid;
    ImageEncoderParameters parameters;
    PixelFormat format;
    int32_t width, height;
  };

  ImageDecodeResult Decode(std::string_view bytes) const override { return native_->Decode(bytes); }
  std::vector<ImageEncoderInfo> Encoders() const override { return native_->Encoders(); }
  ImageEncodeResult Encode(const Bitmap& image, const Guid& clsid,
                           const ImageEncoderParameters& parameters) const override {
    calls.push_back({clsid, parameters, image.format(), image.width(), image.height()});
    return native_->Encode(image, clsid, parameters);
  }

  mutable std::vector<Call> calls;

 private:
  std::unique_ptr<ImageCodec> native_ = CreateNativeImageCodec();
};

// An encoder list chosen by the test.
class ListedCodec final : public ImageCodec {
 public:
  explicit ListedCodec(std::vector<ImageEncoderInfo> encoders) : encoders_(std::move(encoders)) {}
  ImageDecodeResult Decode(std::string_view) const override { return {}; }
  std::vector<ImageEncoderInfo> Encoders() const override { return encoders_; }
  ImageEncodeResult Encode(const Bitmap&, const Guid&,
                           const ImageEncoderParameters&) const override {
    return {};
  }

 private:
  std::vector<ImageEncoderInfo> encoders_;
};

class ImageFilesTest : public ::testing::Test {
 protected:
  Text PathFor(const char* relative) const {
    return TextFromPath(temp_.path()) + kPathSeparator + Widen(relative);
  }
  ImageDecodeResult Load(const char* relative) const {
    return LoadImageFile(codec_, PathFor(relative));
  }

  ScopedTemporaryDirectory temp_;
  RecordingCodec codec_;
};

TEST(MimeTypeForExtension, KnownExtensionsInAnyCase) {
  struct Case {
    const char16_t* extension;
    const char16_t* mime;
  };
  const Case cases[] = {
      {u"jpg", u"image/jpeg"}, {u"JPEG", u"image/jpeg"},
      {u"Png", u"image/png"},  {u"bmp", u"image/bmp"},
      {u"GIF", u"image/gif"},  {u"tiff", u"image/tiff"},
      {u"tif", u""},           {u"", u""},
      {u"jpe", u""},           {u".jpg", u""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MimeTypeForExtension(c.extension), c.mime) << ToUtf8(c.extension);
}

TEST(ExtensionForContentType, ImageTypesAndTheJpegFallback) {
  struct Case {
    const char16_t* type;
    const char16_t* ext;
  } cases[] = {
      {u"image/jpeg", u"jpg"}, {u"image/jpg", u"jpg"},  {u"IMAGE/PNG", u"png"},
      {u"image/bmp", u"bmp"},  {u"image/gif", u"gif"},  {u"image/tiff", u"tiff"},
      {u"", u"jpg"},           {u"text/html", u"jpg"},  {u"image/png; charset=x", u"jpg"},
      {u"image/webp", u"jpg"}, {u" image/png", u"jpg"},
  };
  for (const Case& c : cases) EXPECT_EQ(ExtensionForContentType(c.type), c.ext) << ToUtf8(c.type);
}

TEST(FindEncoder, TakesTheFirstExactMatch) {
  const Guid first{1, 0, 0, {}};
  const Guid second{2, 0, 0, {}};
  ListedCodec codec({{first, u"image/png", u"PNG", u""},
                     {second, u"image/png", u"PNG", u""},
                     {Guid{3, 0, 0, {}}, u"image/JPEG", u"JPEG", u""}});
  auto png = FindEncoder(codec, u"image/png");
  ASSERT_TRUE(png);
  EXPECT_TRUE(SameGuid(*png, first));
  EXPECT_FALSE(FindEncoder(codec, u"image/jpeg")) << "letter case counts";
  EXPECT_FALSE(FindEncoder(codec, u""));
  auto native = CreateNativeImageCodec();
  for (const char16_t* mime :
       {u"image/bmp", u"image/jpeg", u"image/gif", u"image/tiff", u"image/png"}) {
    EXPECT_TRUE(FindEncoder(*native, mime)) << ToUtf8(mime);
  }
}

TEST_F(ImageFilesTest, JpegTakesTheGivenQuality) {
  Bitmap image = test_images::PhotoLike(64, 48, 1);
  EXPECT_EQ(SaveImageFile(codec_, u"JPG", PathFor("a/b/photo.jpg"), 0, image, 37),
            ImageStatus::kOk);
  ASSERT_EQ(codec_.calls.size(), 1u);
  EXPECT_EQ(codec_.calls[0].parameters.quality, 37);
  EXPECT_TRUE(SameGuid(codec_.calls[0].clsid, *FindEncoder(codec_, u"image/jpeg")));
  auto loaded = Load("a/b/photo.jpg");
  ASSERT_EQ(loaded.status, ImageStatus::kOk);
  EXPECT_EQ(loaded.image->width(), 64);

  // Other formats take no parameters.
  EXPECT_EQ(SaveImageFile(codec_, u"jpeg", PathFor("q100.jpeg"), 0, image, kDefaultJpegQuality),
            ImageStatus::kOk);
  EXPECT_EQ(codec_.calls[1].parameters.quality, 100);
  EXPECT_EQ(SaveImageFile(codec_, u"png", PathFor("p.png"), 0, image, 37), ImageStatus::kOk);
  EXPECT_FALSE(codec_.calls[2].parameters.quality);
}

TEST_F(ImageFilesTest, AnExtensionWithoutEncoderWritesNothing) {
  Bitmap image = test_images::Random(10, 10, 2);
  for (const char16_t* extension : {u"tif", u"webp", u""}) {
    EXPECT_NE(SaveImageFile(codec_, extension, PathFor("x/out.img"), kRotate90FlipNone, image,
                            kDefaultJpegQuality),
              ImageStatus::kOk);
  }
  EXPECT_TRUE(codec_.calls.empty());
  EXPECT_FALSE(fs::exists(temp_.path() / "x" / "out.img"));
  EXPECT_EQ(image.width(), 10) << "no encoder, no rotation";
  EXPECT_EQ(SaveImageFile(codec_, u"tiff", PathFor("x/out.tiff"), 0, image, kDefaultJpegQuality),
            ImageStatus::kOk);
  EXPECT_EQ(Load("x/out.tiff").status, ImageStatus::kOk);
}

TEST_F(ImageFilesTest, RotatesTheCallersImageUnlessTheCodeIsFour) {
  Bitmap image = test_images::PhotoLike(100, 50, 3);
  const Bitmap original = image;
  EXPECT_EQ(SaveImageFile(codec_, u"png", PathFor("four.png"), kRotateNoneFlipX, image,
                          kDefaultJpegQuality),
            ImageStatus::kOk);
  auto same = Load("four.png");
  ASSERT_EQ(same.status, ImageStatus::kOk);
  for (int32_t x : {0, 37, 99}) EXPECT_EQ(same.image->PixelAt(x, 7), original.PixelAt(x, 7)) << x;

  EXPECT_EQ(SaveImageFile(codec_, u"png", PathFor("one.png"), kRotate90FlipNone, image,
                          kDefaultJpegQuality),
            ImageStatus::kOk);
  EXPECT_EQ(image.width(), 50) << "the caller's image turns too";
  EXPECT_EQ(image.height(), 100);
  auto turned = Load("one.png");
  ASSERT_EQ(turned.status, ImageStatus::kOk);
  EXPECT_EQ(turned.image->width(), 50);
  EXPECT_EQ(turned.image->height(), 100);
  // The bottom left corner turns into the top left one.
  EXPECT_EQ(turned.image->PixelAt(0, 0), original.PixelAt(0, 49));

  EXPECT_EQ(SaveImageFile(codec_, u"png", PathFor("bad.png"), 99, image, kDefaultJpegQuality),
            ImageStatus::kOk)
      << "a failed rotation does not stop the save";
  EXPECT_EQ(image.lastStatus(), ImageStatus::kInvalidParameter);
}

TEST_F(ImageFilesTest, GifFilesAreQuantisedToAtMost256Colours) {
  Bitmap many = test_images::Bands(60, 40, 300);
  EXPECT_EQ(SaveImageFile(codec_, u"GIF", PathFor("many.gif"), 0, many, kDefaultJpegQuality),
            ImageStatus::kOk);
  ASSERT_EQ(codec_.calls.size(), 1u);
  EXPECT_EQ(codec_.calls[0].format, PixelFormat::kIndexed8)
      << "the encoder gets the quantised copy";
  EXPECT_EQ(many.format(), PixelFormat::kRgb24) << "the caller's image stays as it was";
  auto loaded = Load("many.gif");
  ASSERT_EQ(loaded.status, ImageStatus::kOk);
  EXPECT_LE(loaded.image->palette().size(), 256u);
  auto expected = QuantizeToIndexed(many);
  for (int32_t x = 0; x < 60; x += 7) {
    EXPECT_EQ(loaded.image->PixelAt(x, 20) | 0xFF000000u, expected->PixelAt(x, 20)) << x;
  }

  Bitmap one = test_images::Bands(8, 8, 1);
  EXPECT_EQ(QuantizeToIndexed(one)->palette().size(), 1u);
  EXPECT_EQ(SaveImageFile(codec_, u"gif", PathFor("one.gif"), 0, one, kDefaultJpegQuality),
            ImageStatus::kOk);
  auto single = Load("one.gif");
  ASSERT_EQ(single.status, ImageStatus::kOk);
  EXPECT_EQ(single.image->PixelAt(5, 5), one.PixelAt(5, 5));
}

TEST_F(ImageFilesTest, AFileThatCannotBeWrittenFails) {
  fs::create_directories(temp_.path() / "taken.png");
  Bitmap image = test_images::Random(4, 4, 4);
  EXPECT_EQ(SaveImageFile(codec_, u"png", PathFor("taken.png"), 0, image, kDefaultJpegQuality),
            ImageStatus::kWin32Error);
  EXPECT_TRUE(fs::is_directory(temp_.path() / "taken.png"));
}

TEST_F(ImageFilesTest, LoadingReportsMissingAndForeignFiles) {
  EXPECT_EQ(Load("missing.png").status, ImageStatus::kFileNotFound);
  ScopedTemporaryDirectory::WriteBytes(temp_.path() / "text.png", "not a picture");
  EXPECT_EQ(Load("text.png").status, ImageStatus::kUnknownImageFormat);
  EXPECT_FALSE(Load("text.png").image);
}

TEST_F(ImageFilesTest, TheSizeFromTheHeaderAgreesWithDecoding) {
  const fs::path images = fs::path(QORVA_SOURCE_DIR) / "tests" / "data" / "images";
  int compared = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(images)) {
    if (!entry.is_regular_file()) continue;
    const Text path = TextFromPath(entry.path());
    ImageDecodeResult decoded = LoadImageFile(codec_, path);
    if (!decoded.image) continue;  // a variant this platform's codec leaves to others
    std::optional<PixelSize> size = ReadImageFileSize(codec_, path);
    ASSERT_TRUE(size) << entry.path();
    EXPECT_EQ(size->width, decoded.image->width()) << entry.path();
    EXPECT_EQ(size->height, decoded.image->height()) << entry.path();
    ++compared;
  }
  EXPECT_GE(compared, 10);
}

TEST_F(ImageFilesTest, NoSizeForMissingForeignOrDamagedFiles) {
  EXPECT_FALSE(ReadImageFileSize(codec_, PathFor("missing.png")));
  fs::create_directories(temp_.path() / "folder.png");
  EXPECT_FALSE(ReadImageFileSize(codec_, PathFor("folder.png")));
  ScopedTemporaryDirectory::WriteBytes(temp_.path() / "text.png", "not a picture");
  EXPECT_FALSE(ReadImageFileSize(codec_, PathFor("text.png")));
  const fs::path truncated =
      fs::path(QORVA_SOURCE_DIR) / "tests" / "data" / "images" / "malformed" / "truncated.tiff";
  EXPECT_FALSE(ReadImageFileSize(codec_, TextFromPath(truncated)));
}

TEST(FitToDefaultSize, ScalesToTheWidthThenTheHeightLimit) {
  struct Case {
    uint32_t maxWidth, maxHeight, width, height;
    ImageSize expected;
  };
  const Case cases[] = {
      {100, 0, 400, 200, {100, 50}},
      {100, 100, 400, 200, {100, 50}},
      {100, 100, 200, 400, {50, 100}},
      {0, 0, 400, 200, {400, 200}},
      {100, 0, 1000, 1, {100, 1}},  // 0 falls back to the input height
      {0, 100, 1, 1000, {1, 100}},
      {100, 0, 50, 20, {50, 20}},  // smaller pictures stay as they are
      {300, 100, 400, 300, {133, 100}},
      {70000, 0, 4000000000u, 4000000000u, {70000, 70000}},  // no overflow in the products
  };
  for (const auto& c : cases) {
    ImageSize fit = FitToDefaultSize(c.width, c.height, {c.maxWidth, c.maxHeight});
    EXPECT_EQ(fit, c.expected) << c.maxWidth << "/" << c.maxHeight << " " << c.width << "x"
                               << c.height << " gave " << fit.width << "x" << fit.height;
  }
}

TEST(LoadLogoImage, DecodesTheEmbeddedLogo) {
  auto codec = CreateNativeImageCodec();
  auto logo = LoadLogoImage(*codec);
  ASSERT_TRUE(logo);
  EXPECT_EQ(logo->width(), 92);
  EXPECT_EQ(logo->height(), 96);
  EXPECT_EQ(logo->format(), PixelFormat::kArgb32);
  EXPECT_EQ(AlphaOf(logo->PixelAt(0, 0)), 0) << "rounded corners";
  EXPECT_EQ(AlphaOf(logo->PixelAt(46, 10)), 255);
}

}  // namespace
}  // namespace qorva
