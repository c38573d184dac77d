#include "graphics/bmp_format.h"

#include <gtest/gtest.h>

#include <string>

namespace qorva {
namespace {

std::string Le16(uint32_t v) {
  return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}
std::string Le32(uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }

// A file header and a 40-byte info header; the caller appends palette and pixels.
std::string InfoBmp(int32_t width, int32_t height, uint16_t bpp, uint32_t compression,
                    uint32_t pixelOffset, uint32_t colorsUsed = 0) {
  return "BM" + Le32(0) + Le32(0) + Le32(pixelOffset) + Le32(40) +
         Le32(static_cast<uint32_t>(width)) + Le32(static_cast<uint32_t>(height)) + Le16(1) +
         Le16(bpp) + Le32(compression) + Le32(0) + Le32(0) + Le32(0) + Le32(colorsUsed) + Le32(0);
}

TEST(Bmp, RowOrderFollowsTheSignOfTheHeight) {
  // Two rows of one 24-bit pixel each, padded to four bytes: red first, then blue.
  const std::string rows = std::string("\x00\x00\xFF\x00", 4) + std::string("\xFF\x00\x00\x00", 4);
  for (int32_t height : {2, -2}) {
    auto decoded = DecodeBmp(InfoBmp(1, height, 24, 0, 54) + rows);
    ASSERT_EQ(decoded.status, ImageStatus::kOk) << height;
    const Argb top = height < 0 ? MakeArgb(255, 255, 0, 0) : MakeArgb(255, 0, 0, 255);
    EXPECT_EQ(decoded.image->PixelAt(0, 0), top) << height;
  }
}

TEST(Bmp, CoreHeaderAndBitFields) {
  // A 12-byte header, 3-byte palette entries, one row of 2 one-bit pixels.
  std::string core = "BM" + Le32(0) + Le32(0) + Le32(32) + Le32(12) + Le16(2) + Le16(1) + Le16(1) +
                     Le16(1) + std::string("\x00\x00\x00\xFF\xFF\xFF", 6) +
                     std::string("\x40\0\0\0", 4);
  auto decoded = DecodeBmp(core);
  ASSERT_EQ(decoded.status, ImageStatus::kOk);
  EXPECT_EQ(decoded.image->PixelAt(0, 0), MakeArgb(255, 0, 0, 0));
  EXPECT_EQ(decoded.image->PixelAt(1, 0), MakeArgb(255, 255, 255, 255));

  // 32-bit bit fields after a plain info header, alpha in the low byte.
  std::string fields = InfoBmp(1, 1, 32, 3, 66) + Le32(0xFF000000) + Le32(0x00FF0000) +
                       Le32(0x0000FF00) + Le32(0x80402010);
  decoded = DecodeBmp(fields);
  ASSERT_EQ(decoded.status, ImageStatus::kOk);
  EXPECT_EQ(decoded.image->PixelAt(0, 0), MakeArgb(255, 0x80, 0x40, 0x20)) << "no alpha mask";
}

TEST(Bmp, RefusesWhatItCannotReadSafely) {
  struct Case {
    const char* name;
    std::string bytes;
    ImageStatus status;
  };
  const Case cases[] = {
      {"not a bmp", "PK\3\4", ImageStatus::kUnknownImageFormat},
      {"header past the end", "BM" + Le32(0) + Le32(0) + Le32(54) + Le32(4000),
       ImageStatus::kGenericError},
      {"pixels cut short", InfoBmp(4, 4, 24, 0, 54) + std::string(20, '\0'),
       ImageStatus::kGenericError},
      {"pixel offset past the end", InfoBmp(1, 1, 24, 0, 9999) + std::string(4, '\0'),
       ImageStatus::kGenericError},
      {"run-length", InfoBmp(1, 1, 8, 1, 58) + std::string(8, '\0'), ImageStatus::kNotImplemented},
      {"odd depth", InfoBmp(1, 1, 7, 0, 54) + std::string(4, '\0'), ImageStatus::kGenericError},
      {"no palette room", InfoBmp(1, 1, 8, 0, 54) + std::string(4, '\0'),
       ImageStatus::kGenericError},
      {"huge", InfoBmp(60000, 60000, 24, 0, 54), ImageStatus::kOutOfMemory},
  };
  for (const auto& c : cases) {
    auto decoded = DecodeBmp(c.bytes);
    EXPECT_EQ(decoded.status, c.status) << c.name;
    EXPECT_FALSE(decoded.image) << c.name;
  }
}

}  // namespace
}  // namespace qorva
