// The platform's imaging library, as far as the control asks for it: decoding a
// picture from its bytes into a portable bitmap, the list of installed encoders, and
// encoding a bitmap with one of them. Decoding recognises JPEG, PNG, GIF (its first
// frame), TIFF (its first page) and BMP by their content, not by a file name.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "graphics/bitmap.h"
#include "graphics/image_coding.h"
#include "platform/system.h"

namespace qorva {

struct ImageEncoderInfo {
  Guid clsid;       // identifies the encoder to Encode
  Text mimeType;    // "image/jpeg"
  Text formatName;  // "JPEG"
  Text extensions;  // "*.JPG;*.JPEG;*.JPE;*.JFIF"
};

// What an encoder may be given. The JPEG encoders take a quality from 0 to 100; the
// others ignore it.
struct ImageEncoderParameters {
  std::optional<int32_t> quality;
};

inline bool SameGuid(const Guid& a, const Guid& b) {
  return a.data1 == b.data1 && a.data2 == b.data2 && a.data3 == b.data3 && a.data4 == b.data4;
}

class ImageCodec {
 public:
  virtual ~ImageCodec() = default;

  // Decodes one picture. A truncated or corrupt picture, or one whose declared size
  // passes the bitmap limits, gives a failure status and no image, never a crash.
  virtual ImageDecodeResult Decode(std::string_view bytes) const = 0;
  // The installed encoders, in the library's order.
  virtual std::vector<ImageEncoderInfo> Encoders() const = 0;
  // Encodes `image` with the encoder `clsid`; kInvalidParameter for an unknown encoder
  // or a quality outside 0 to 100.
  virtual ImageEncodeResult Encode(const Bitmap& image, const Guid& clsid,
                                   const ImageEncoderParameters& parameters) const = 0;
};

}  // namespace qorva
