// GIF through giflib, reading record by record so that every frame's size is checked
// before its pixels are read, and writing from memory.
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "graphics/color_quantizer.h"
#include "posix/image_formats.h"

namespace qorva::posix {

namespace {

struct Reader {
  std::string_view bytes;
  size_t at = 0;
};

int ReadBytes(GifFileType* gif, GifByteType* out, int wanted) {
  auto* reader = static_cast<Reader*>(gif->UserData);
  size_t n = std::min(static_cast<size_t>(std::max(wanted, 0)), reader->bytes.size() - reader->at);
  std::memcpy(out, reader->bytes.data() + reader->at, n);
  reader->at += n;
  return static_cast<int>(n);
}

int WriteBytes(GifFileType* gif, const GifByteType* data, int length) {
  static_cast<std::string*>(gif->UserData)
      ->append(reinterpret_cast<const char*>(data), static_cast<size_t>(length));
  return length;
}

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int error = 0;
    DGifCloseFile(gif, &error);
  }
};

// The rows of an interlaced frame in the order the file holds them.
std::vector<int32_t> RowOrder(int32_t height, bool interlaced) {
  std::vector<int32_t> rows;
  rows.reserve(static_cast<size_t>(height));
  if (!interlaced) {
    for (int32_t y = 0; y < height; ++y) rows.push_back(y);
    return rows;
  }
  constexpr int32_t kStart[4] = {0, 4, 2, 1};
  constexpr int32_t kStep[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    for (int32_t y = kStart[pass]; y < height; y += kStep[pass]) rows.push_back(y);
  }
  return rows;
}

ImageDecodeResult Failure(ImageStatus status) { return {status, std::nullopt}; }

}  // namespace

bool LooksLikeGif(std::string_view bytes) {
  return bytes.size() >= 6 && (std::memcmp(bytes.data(), "GIF87a", 6) == 0 ||
                               std::memcmp(bytes.data(), "GIF89a", 6) == 0);
}

ImageDecodeResult DecodeGif(std::string_view bytes) {
  Reader reader{bytes};
  int error = 0;
  std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&reader, ReadBytes, &error));
  if (!gif) return Failure(ImageStatus::kGenericError);
  int transparent = -1;
  for (;;) {
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR)
      return Failure(ImageStatus::kGenericError);
    if (type == TERMINATE_RECORD_TYPE) return Failure(ImageStatus::kGenericError);  // no frame
    if (type == EXTENSION_RECORD_TYPE) {
      int code = 0;
      GifByteType* block = nullptr;
      if (DGifGetExtension(gif.get(), &code, &block) == GIF_ERROR) {
        return Failure(ImageStatus::kGenericError);
      }
      if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4 && (block[1] & 1)) {
        transparent = block[4];
      }
      while (block) {
        if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR) {
          return Failure(ImageStatus::kGenericError);
        }
      }
      continue;
    }
    if (type != IMAGE_DESC_RECORD_TYPE) continue;
    if (DGifGetImageDesc(gif.get()) == GIF_ERROR) return Failure(ImageStatus::kGenericError);
    break;
  }

  const GifImageDesc& frame = gif->Image;
  const ColorMapObject* map = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
  if (!map || !map->Colors || map->ColorCount <= 0) return Failure(ImageStatus::kGenericError);
  // A screen of size 0 (some writers leave it so) takes the frame's size.
  int64_t screenWidth = gif->SWidth > 0 ? gif->SWidth : int64_t{frame.Left} + frame.Width;
  int64_t screenHeight = gif->SHeight > 0 ? gif->SHeight : int64_t{frame.Top} + frame.Height;
  if (!Bitmap::SizeAllowed(screenWidth, screenHeight) ||
      !Bitmap::SizeAllowed(frame.Width, frame.Height)) {
    return Failure(ImageStatus::kOutOfMemory);
  }
  std::optional<Bitmap> image =
      Bitmap::Create(static_cast<int32_t>(screenWidth), static_cast<int32_t>(screenHeight),
                     PixelFormat::kIndexed8);
  std::vector<GifPixelType> line(static_cast<size_t>(frame.Width));
  if (!image) return Failure(ImageStatus::kOutOfMemory);

  std::vector<Argb> palette;
  const int colors = std::min(map->ColorCount, 256);
  for (int i = 0; i < colors; ++i) {
    const GifColorType& c = map->Colors[i];
    palette.push_back(MakeArgb(i == transparent ? 0 : 255, c.Red, c.Green, c.Blue));
  }
  const bool hasTransparent = transparent >= 0 && transparent < colors;
  image->SetPalette(std::move(palette), hasTransparent ? kPaletteHasAlpha : 0);
  const int background =
      hasTransparent ? transparent : std::clamp(gif->SBackGroundColor, 0, colors - 1);
  image->Fill(static_cast<Argb>(background));

  for (int32_t y : RowOrder(frame.Height, frame.Interlace)) {
    if (DGifGetLine(gif.get(), line.data(), frame.Width) == GIF_ERROR) {
      return Failure(ImageStatus::kGenericError);
    }
    const int64_t row = int64_t{frame.Top} + y;
    if (row < 0 || row >= screenHeight) continue;
    uint8_t* out = image->Row(static_cast<int32_t>(row));
    for (int32_t x = 0; x < frame.Width; ++x) {
      const int64_t column = int64_t{frame.Left} + x;
      if (column < 0 || column >= screenWidth) continue;
      // Transparent pixels of the frame let the screen's background show.
      if (hasTransparent && line[static_cast<size_t>(x)] == transparent) continue;
      out[column] = line[static_cast<size_t>(x)];
    }
  }
  return {ImageStatus::kOk, std::move(image)};
}

ImageEncodeResult EncodeGif(const Bitmap& image) {
  if (image.format() != PixelFormat::kIndexed8) {
    std::optional<Bitmap> indexed = QuantizeToIndexed(image);
    if (!indexed) return {ImageStatus::kOutOfMemory, {}};
    return EncodeGif(*indexed);
  }
  // The colour table holds a power of two entries, enough for every index in use.
  int used = std::max<int>(static_cast<int>(image.palette().size()), 1);
  for (int32_t y = 0; y < image.height(); ++y) {
    const uint8_t* row = image.Row(y);
    for (int32_t x = 0; x < image.width(); ++x) used = std::max(used, row[x] + 1);
  }
  const int bits = std::max(GifBitSize(used), 1);
  ColorMapObject* map = GifMakeMapObject(1 << bits, nullptr);
  if (!map) return {ImageStatus::kOutOfMemory, {}};
  int transparent = -1;
  for (size_t i = 0; i < image.palette().size(); ++i) {
    const Argb entry = image.palette()[i];
    map->Colors[i] = {RedOf(entry), GreenOf(entry), BlueOf(entry)};
    if (transparent < 0 && AlphaOf(entry) == 0) transparent = static_cast<int>(i);
  }

  std::string bytes;
  int error = 0;
  GifFileType* gif = EGifOpen(&bytes, WriteBytes, &error);
  if (!gif) {
    GifFreeMapObject(map);
    return {ImageStatus::kGenericError, {}};
  }
  bool ok = true;
  EGifSetGifVersion(gif, transparent >= 0);
  ok = ok && EGifPutScreenDesc(gif, image.width(), image.height(), bits, 0, map) != GIF_ERROR;
  if (ok && transparent >= 0) {
    const GifByteType control[4] = {1, 0, 0, static_cast<GifByteType>(transparent)};
    ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control) != GIF_ERROR;
  }
  ok =
      ok && EGifPutImageDesc(gif, 0, 0, image.width(), image.height(), false, nullptr) != GIF_ERROR;
  // The library masks the line in place, so it gets a copy.
  std::vector<GifPixelType> line(static_cast<size_t>(image.width()));
  for (int32_t y = 0; ok && y < image.height(); ++y) {
    std::memcpy(line.data(), image.Row(y), line.size());
    ok = EGifPutLine(gif, line.data(), image.width()) != GIF_ERROR;
  }
  if (EGifCloseFile(gif, &error) == GIF_ERROR) ok = false;
  GifFreeMapObject(map);
  if (!ok) return {ImageStatus::kGenericError, {}};
  return {ImageStatus::kOk, std::move(bytes)};
}

}  // namespace qorva::posix
