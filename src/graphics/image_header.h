// The pixel size of a picture read from its file's header, so that asking a large
// picture's size reads a few bytes and decodes nothing. Knows the formats the codecs
// decode: JPEG, PNG, GIF, BMP and TIFF.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace qorva {

struct ImageHeaderSize {
  enum class Status {
    kFound,          // width and height hold the size, both over 0
    kNotRecognised,  // none of the formats, or one whose header leaves the size open
    kDamaged,        // one of the formats, cut short or inconsistent before the size
  };
  Status status = Status::kNotRecognised;
  int32_t width = 0;
  int32_t height = 0;
};

// Gives up to `length` bytes of the file from `offset`: fewer, or none, past its end.
using ByteRangeReader = std::function<std::string(uint64_t offset, size_t length)>;

ImageHeaderSize ReadImageHeaderSize(const ByteRangeReader& read);

}  // namespace qorva
