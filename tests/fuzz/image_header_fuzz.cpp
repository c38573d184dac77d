// A picture's header comes from any file a page names: reading its size never overruns,
// never asks for an unbounded amount of bytes, and a size it finds is a real one.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "graphics/image_header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string file(reinterpret_cast<const char*>(data), size);
  size_t requested = 0;
  qorva::ImageHeaderSize header = qorva::ReadImageHeaderSize([&](uint64_t offset, size_t length) {
    requested += length;
    if (offset >= file.size()) return std::string();
    return file.substr(static_cast<size_t>(offset), length);
  });
  // The largest single request is a full TIFF directory of 65535 entries.
  if (requested > (size_t{1} << 24)) std::abort();
  if (header.status == qorva::ImageHeaderSize::Status::kFound &&
      (header.width <= 0 || header.height <= 0)) {
    std::abort();
  }
  return 0;
}
