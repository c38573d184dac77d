#include "graphics/image_header.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qorva {
namespace {

using Status = ImageHeaderSize::Status;

std::string Be16(uint32_t v) { return {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)}; }
std::string Be32(uint32_t v) { return Be16(v >> 16) + Be16(v & 0xFFFF); }
std::string Le16(uint32_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
std::string Le32(uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }

std::string Png(uint32_t width, uint32_t height) {
  return std::string("\x89PNG\r\n\x1a\n", 8) + Be32(13) + "IHDR" + Be32(width) + Be32(height) +
         std::string("\x08\x02\0\0\0", 5);
}

std::string JpegSegment(uint8_t marker, const std::string& body) {
  return std::string{'\xFF', static_cast<char>(marker)} +
         Be16(static_cast<uint32_t>(body.size() + 2)) + body;
}

std::string JpegFrame(uint32_t width, uint32_t height) {
  return JpegSegment(0xC0,
                     "\x08" + Be16(height) + Be16(width) + std::string("\x01\x01\x11\x00", 4));
}

std::string TiffEntry(bool little, uint32_t tag, uint32_t type, uint32_t value) {
  auto u16 = little ? Le16 : Be16;
  auto u32 = little ? Le32 : Be32;
  std::string field = type == 3 ? u16(value) + u16(0) : u32(value);
  return u16(tag) + u16(type) + u32(1) + field;
}

// The header and its directory at `directoryOffset`, the gap filled with zeros.
std::string Tiff(bool little, uint32_t directoryOffset, const std::vector<std::string>& entries) {
  auto u16 = little ? Le16 : Be16;
  auto u32 = little ? Le32 : Be32;
  std::string file = little ? std::string("II*\0", 4) : std::string("MM\0*", 4);
  file += u32(directoryOffset);
  file.resize(directoryOffset, '\0');
  file += u16(static_cast<uint32_t>(entries.size()));
  for (const std::string& entry : entries) file += entry;
  return file + u32(0);
}

// Reads from `file`, counting the bytes asked for.
struct CountingReader {
  const std::string& file;
  size_t requested = 0;
  ImageHeaderSize Probe() {
    return ReadImageHeaderSize([this](uint64_t offset, size_t length) {
      requested += length;
      if (offset >= file.size()) return std::string();
      return file.substr(static_cast<size_t>(offset), length);
    });
  }
};

ImageHeaderSize Probe(const std::string& file) { return CountingReader{file}.Probe(); }

TEST(ImageHeader, ReadsTheSizeOfEachFormat) {
  const std::string app0 = JpegSegment(0xE0, std::string("JFIF\0\1\1\0\0\1\0\1\0\0", 14));
  const std::string exif = JpegSegment(0xE1, "Exif" + std::string(3000, 'x'));
  const std::string tables = JpegSegment(0xDB, std::string(65, '\x01'));
  struct Case {
    const char* name;
    std::string file;
    int32_t width;
    int32_t height;
  };
  const Case cases[] = {
      {"png", Png(640, 480), 640, 480},
      {"gif87", "GIF87a" + Le16(17) + Le16(9) + std::string(3, '\0'), 17, 9},
      {"gif89", "GIF89a" + Le16(300) + Le16(200) + std::string(3, '\0'), 300, 200},
      {"bmp", "BM" + std::string(12, '\0') + Le32(40) + Le32(33) + Le32(17), 33, 17},
      {"bmp top first", "BM" + std::string(12, '\0') + Le32(124) + Le32(33) + Le32(-17u), 33, 17},
      {"bmp core header", "BM" + std::string(12, '\0') + Le32(12) + Le16(5) + Le16(6), 5, 6},
      {"jpeg", "\xFF\xD8" + app0 + exif + tables + JpegFrame(4000, 3000), 4000, 3000},
      {"progressive jpeg", "\xFF\xD8" + app0 + JpegSegment(0xC2, "\x08" + Be16(7) + Be16(9)), 9, 7},
      {"jpeg fill bytes and restart markers",
       "\xFF\xD8\xFF\xFF\xFF\xD0" + app0 + "\xFF" + JpegFrame(12, 34), 12, 34},
      {"tiff little, short fields",
       Tiff(true, 8, {TiffEntry(true, 256, 3, 640), TiffEntry(true, 257, 3, 480)}), 640, 480},
      {"tiff big, long fields, directory at the end",
       Tiff(false, 5000,
            {TiffEntry(false, 254, 4, 0), TiffEntry(false, 256, 4, 70000),
             TiffEntry(false, 257, 4, 3)}),
       70000, 3},
  };
  for (const Case& c : cases) {
    ImageHeaderSize size = Probe(c.file);
    EXPECT_EQ(size.status, Status::kFound) << c.name;
    EXPECT_EQ(size.width, c.width) << c.name;
    EXPECT_EQ(size.height, c.height) << c.name;
  }
}

TEST(ImageHeader, AHugePictureCostsAFewSmallReads) {
  // A 50-megapixel JPEG whose pixel data would be tens of megabytes: only its
  // header segments are asked for.
  std::string file = "\xFF\xD8" + JpegSegment(0xE1, std::string(60000, 'x')) +
                     JpegFrame(8660, 5774) + std::string(1 << 20, '\x55');
  CountingReader reader{file};
  ImageHeaderSize size = reader.Probe();
  ASSERT_EQ(size.status, Status::kFound);
  EXPECT_EQ(size.width, 8660);
  EXPECT_EQ(size.height, 5774);
  EXPECT_LT(reader.requested, 100u);
}

TEST(ImageHeader, DamagedAndUnknownHeaders) {
  const std::string png = Png(640, 480);
  struct Case {
    const char* name;
    std::string file;
    Status status;
  };
  const Case cases[] = {
      {"empty", "", Status::kNotRecognised},
      {"text", "<html><body>not a picture</body></html>", Status::kNotRecognised},
      {"png cut in its header", png.substr(0, 20), Status::kDamaged},
      {"png without its header chunk first", std::string(png).replace(12, 4, "IDAT"),
       Status::kDamaged},
      {"png of width 0", Png(0, 5), Status::kDamaged},
      {"png wider than a signed 32-bit side", Png(0x80000000u, 5), Status::kDamaged},
      {"gif cut short", "GIF89a\x01", Status::kDamaged},
      {"gif whose screen takes its frame's size", "GIF89a" + Le16(0) + Le16(0) + "xxx",
       Status::kNotRecognised},
      {"bmp with an impossible header size",
       "BM" + std::string(12, '\0') + Le32(3) + Le32(1) + Le32(1), Status::kDamaged},
      {"bmp of the most negative height",
       "BM" + std::string(12, '\0') + Le32(40) + Le32(3) + Le32(0x80000000u), Status::kDamaged},
      {"jpeg without a frame", "\xFF\xD8" + JpegSegment(0xE0, "JFIF") + "\xFF\xD9",
       Status::kDamaged},
      {"jpeg scan before its frame", "\xFF\xD8" + JpegSegment(0xDA, "abc"), Status::kDamaged},
      {"jpeg cut inside a segment", "\xFF\xD8" + JpegSegment(0xE0, "JFIF").substr(0, 3),
       Status::kDamaged},
      {"jpeg segment length below 2", "\xFF\xD8\xFF\xE0" + Be16(1), Status::kDamaged},
      {"jpeg height left to the scan", "\xFF\xD8" + JpegFrame(10, 0), Status::kNotRecognised},
      {"jpeg garbage between segments", "\xFF\xD8" + JpegSegment(0xE0, "JFIF") + "xx",
       Status::kDamaged},
      {"tiff directory inside its header", Tiff(true, 4, {}), Status::kDamaged},
      {"tiff directory past the end", std::string("II*\0", 4) + Le32(900), Status::kDamaged},
      {"tiff without a height", Tiff(true, 8, {TiffEntry(true, 256, 3, 10)}), Status::kDamaged},
      {"tiff with a width of another type",
       Tiff(true, 8, {TiffEntry(true, 256, 2, 10), TiffEntry(true, 257, 3, 10)}), Status::kDamaged},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Probe(c.file).status, c.status) << c.name;
  }
}

TEST(ImageHeader, EndlessEmptyJpegSegmentsEndTheWalk) {
  std::string file = "\xFF\xD8";
  for (int i = 0; i < 5000; ++i) file += JpegSegment(0xFE, "");
  file += JpegFrame(3, 4);
  EXPECT_EQ(Probe(file).status, Status::kNotRecognised);
}

}  // namespace
}  // namespace qorva
