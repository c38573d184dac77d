#include "graphics/image_header.h"

#include <limits>
#include <string_view>
#include <utility>

namespace qorva {

namespace {

using Status = ImageHeaderSize::Status;

// Real files keep at most a few dozen segments before the frame header; the cap bounds
// the walk through a crafted file of empty segments.
constexpr int kMaxJpegSegments = 4096;

// A window of the file's bytes, fetched through the reader.
class ByteSpan {
 public:
  explicit ByteSpan(std::string bytes) : bytes_(std::move(bytes)) {}

  bool Has(size_t count) const { return bytes_.size() >= count; }
  uint8_t At(size_t i) const { return static_cast<uint8_t>(bytes_[i]); }
  uint32_t Big16(size_t i) const { return (uint32_t{At(i)} << 8) | At(i + 1); }
  uint32_t Little16(size_t i) const { return (uint32_t{At(i + 1)} << 8) | At(i); }
  uint32_t Big32(size_t i) const { return (Big16(i) << 16) | Big16(i + 2); }
  uint32_t Little32(size_t i) const { return (Little16(i + 2) << 16) | Little16(i); }
  bool StartsWith(std::string_view prefix) const {
    if (bytes_.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
      if (bytes_[i] != prefix[i]) return false;
    }
    return true;
  }

 private:
  std::string bytes_;
};

ImageHeaderSize Found(int64_t width, int64_t height) {
  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  if (width <= 0 || height <= 0 || width > kMax || height > kMax) return {Status::kDamaged};
  return {Status::kFound, static_cast<int32_t>(width), static_cast<int32_t>(height)};
}

ImageHeaderSize PngSize(const ByteSpan& head) {
  if (!head.Has(24)) return {Status::kDamaged};
  if (head.At(12) != 'I' || head.At(13) != 'H' || head.At(14) != 'D' || head.At(15) != 'R') {
    return {Status::kDamaged};
  }
  return Found(head.Big32(16), head.Big32(20));
}

ImageHeaderSize GifSize(const ByteSpan& head) {
  if (!head.Has(10)) return {Status::kDamaged};
  // A logical screen of 0 takes the first frame's size, which only decoding finds.
  if (head.Little16(6) == 0 || head.Little16(8) == 0) return {Status::kNotRecognised};
  return Found(head.Little16(6), head.Little16(8));
}

ImageHeaderSize BmpSize(const ByteSpan& head) {
  if (!head.Has(18)) return {Status::kDamaged};
  uint32_t infoSize = head.Little32(14);
  if (infoSize == 12) {  // the old core header, with 16-bit sides
    if (!head.Has(22)) return {Status::kDamaged};
    return Found(head.Little16(18), head.Little16(20));
  }
  if (infoSize < 16 || !head.Has(26)) return {Status::kDamaged};
  int64_t width = static_cast<int32_t>(head.Little32(18));
  int64_t height = static_cast<int32_t>(head.Little32(22));
  return Found(width, height < 0 ? -height : height);  // negative: rows stored top first
}

bool IsFrameHeader(uint8_t marker) {
  // C4, C8 and CC share the range but are tables and a reserved code.
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

ImageHeaderSize JpegSize(const ByteRangeReader& read) {
  uint64_t position = 2;
  for (int segment = 0; segment < kMaxJpegSegments; ++segment) {
    ByteSpan bytes(read(position, 9));
    if (!bytes.Has(2) || bytes.At(0) != 0xFF) return {Status::kDamaged};
    uint8_t marker = bytes.At(1);
    if (marker == 0xFF) {  // fill byte before a marker
      position += 1;
      continue;
    }
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // markers without a length
      position += 2;
      continue;
    }
    if (marker == 0xD9 || marker == 0xDA) return {Status::kDamaged};  // image data before a frame
    if (!bytes.Has(4)) return {Status::kDamaged};
    uint32_t length = bytes.Big16(2);
    if (length < 2) return {Status::kDamaged};
    if (IsFrameHeader(marker)) {
      if (!bytes.Has(9) || length < 7) return {Status::kDamaged};
      // A height of 0 is declared later in the scan; only decoding finds it.
      if (bytes.Big16(5) == 0) return {Status::kNotRecognised};
      return Found(bytes.Big16(7), bytes.Big16(5));
    }
    position += 2 + uint64_t{length};
  }
  return {Status::kNotRecognised};
}

ImageHeaderSize TiffSize(const ByteRangeReader& read, const ByteSpan& head) {
  if (!head.Has(8)) return {Status::kDamaged};
  const bool little = head.At(0) == 'I';
  auto u16 = [little](const ByteSpan& b, size_t i) { return little ? b.Little16(i) : b.Big16(i); };
  auto u32 = [little](const ByteSpan& b, size_t i) { return little ? b.Little32(i) : b.Big32(i); };
  uint64_t directory = u32(head, 4);
  if (directory < 8) return {Status::kDamaged};
  ByteSpan count(read(directory, 2));
  if (!count.Has(2)) return {Status::kDamaged};
  const size_t entries = u16(count, 0);
  ByteSpan table(read(directory + 2, entries * 12));
  if (!table.Has(entries * 12)) return {Status::kDamaged};
  int64_t width = -1;
  int64_t height = -1;
  for (size_t i = 0; i < entries; ++i) {
    const size_t at = i * 12;
    uint32_t tag = u16(table, at);
    if (tag != 256 && tag != 257) continue;
    uint32_t type = u16(table, at + 2);
    int64_t value = -1;
    if (type == 3) value = u16(table, at + 8);  // SHORT, left-justified in the field
    if (type == 4) value = u32(table, at + 8);  // LONG
    (tag == 256 ? width : height) = value;
  }
  if (width < 0 || height < 0) return {Status::kDamaged};
  return Found(width, height);
}

}  // namespace

ImageHeaderSize ReadImageHeaderSize(const ByteRangeReader& read) {
  ByteSpan head(read(0, 32));
  if (head.StartsWith("\x89PNG\r\n\x1a\n")) return PngSize(head);
  if (head.StartsWith("GIF87a") || head.StartsWith("GIF89a")) return GifSize(head);
  if (head.StartsWith("BM")) return BmpSize(head);
  if (head.StartsWith("\xFF\xD8")) return JpegSize(read);
  if (head.StartsWith(std::string_view("II*\0", 4)) ||
      head.StartsWith(std::string_view("MM\0*", 4))) {
    return TiffSize(read, head);
  }
  return {Status::kNotRecognised};
}

}  // namespace qorva
