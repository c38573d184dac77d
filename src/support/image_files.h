// Saving and loading image files through the platform's imaging library, and the two
// small image helpers: the initial display size of an inserted image and the logo.
#pragma once

#include <cstdint>
#include <optional>

#include "base/text.h"
#include "graphics/bitmap.h"
#include "platform/image_codec.h"

namespace qorva {

// "image/jpeg" for "jpg" and "jpeg", "image/png", "image/bmp", "image/gif", "image/tiff"
// (letter case ignored); "" for anything else, "tif" included.
Text MimeTypeForExtension(TextView extension);
// The other way: "jpg", "png", "bmp", "gif" or "tiff" for those types ("image/jpg" too,
// letter case ignored); "jpg" for anything else.
Text ExtensionForContentType(TextView contentType);

// The identifier of the first installed encoder whose MIME type equals `mimeType`
// exactly (letter case counts); none when no encoder has it.
std::optional<Guid> FindEncoder(const ImageCodec& codec, TextView mimeType);

// Writes `image` to `path` in the format `extension` names, creating the folders above
// it. Unless `rotateFlip` is 4 (kRotateNoneFlipX, which here means "unchanged"), the
// caller's image is first rotated or flipped by that code; a failed rotation is kept
// in the image's last status and the save goes on. JPEG files get `jpegQuality` (0 to
// 100); GIF files are reduced to 256 colours first. Returns kOk, or
// a failure status with nothing written (an extension without an encoder, a failed
// quantisation or encoding, a file that cannot be written).
ImageStatus SaveImageFile(const ImageCodec& codec, TextView extension, TextView path,
                          int32_t rotateFlip, Bitmap& image, int32_t jpegQuality);

// The quality of JPEG files until the user picks another.
inline constexpr int32_t kDefaultJpegQuality = 100;

// Decodes the image file at `path` (any format the codec reads, whatever its name).
// Files larger than kMaxImageFileSize are refused.
inline constexpr uint64_t kMaxImageFileSize = uint64_t{512} << 20;
ImageDecodeResult LoadImageFile(const ImageCodec& codec, TextView path);

struct PixelSize {
  int32_t width = 0;
  int32_t height = 0;
};
// The pixel size of the image file at `path`, from its header where the format allows
// (a picture of any size costs a few small reads), else by decoding it; none for a
// missing, damaged or undecodable file.
std::optional<PixelSize> ReadImageFileSize(const ImageCodec& codec, TextView path);

struct ImageSize {
  uint32_t width = 0;
  uint32_t height = 0;
  bool operator==(const ImageSize&) const = default;
};

// The size at which an image of `width` by `height` first shows in the editor: scaled
// down, keeping its proportions, to `limit`'s width and then its height (0: no limit);
// a side that would become 0 keeps its input value.
ImageSize FitToDefaultSize(uint32_t width, uint32_t height, ImageSize limit);

// The control's 92 by 96 logo, decoded from the PNG carried in the module; none when
// it cannot be decoded.
std::optional<Bitmap> LoadLogoImage(const ImageCodec& codec);

}  // namespace qorva
