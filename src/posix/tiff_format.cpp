// TIFF through libtiff on an in-memory file, with the library's messages kept quiet
// and its allocations bounded per open.
#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "posix/image_formats.h"

namespace qorva::posix {

namespace {

constexpr tmsize_t kMaxSingleAllocation = tmsize_t{512} << 20;

// A file in memory: read from a view, or written into a growing string.
struct MemoryFile {
  std::string_view input;
  std::string* output = nullptr;
  uint64_t at = 0;

  uint64_t Size() const { return output ? output->size() : input.size(); }
};

MemoryFile& FileOf(thandle_t handle) { return *static_cast<MemoryFile*>(handle); }

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t size) {
  MemoryFile& file = FileOf(handle);
  if (file.output || size < 0 || file.at >= file.input.size()) return 0;
  const uint64_t n = std::min<uint64_t>(static_cast<uint64_t>(size), file.input.size() - file.at);
  std::memcpy(buffer, file.input.data() + file.at, n);
  file.at += n;
  return static_cast<tmsize_t>(n);
}

tmsize_t WriteProc(thandle_t handle, void* buffer, tmsize_t size) {
  MemoryFile& file = FileOf(handle);
  if (!file.output || size < 0) return -1;
  const uint64_t end = file.at + static_cast<uint64_t>(size);
  if (end > file.output->size()) file.output->resize(end);
  std::memcpy(file.output->data() + file.at, buffer, static_cast<size_t>(size));
  file.at = end;
  return size;
}

toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
  MemoryFile& file = FileOf(handle);
  uint64_t base = whence == SEEK_CUR ? file.at : whence == SEEK_END ? file.Size() : 0;
  file.at = base + offset;
  return file.at;
}

int CloseProc(thandle_t) { return 0; }
toff_t SizeProc(thandle_t handle) { return FileOf(handle).Size(); }
int MapProc(thandle_t, void**, toff_t*) { return 0; }
void UnmapProc(thandle_t, void*, toff_t) {}

int QuietHandler(TIFF*, void*, const char*, const char*, va_list) { return 1; }

TIFF* OpenMemory(MemoryFile& file, const char* mode) {
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  if (!options) return nullptr;
  TIFFOpenOptionsSetMaxSingleMemAlloc(options, kMaxSingleAllocation);
  TIFFOpenOptionsSetErrorHandlerExtR(options, QuietHandler, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(options, QuietHandler, nullptr);
  TIFF* tiff = TIFFClientOpenExt("memory", mode, &file, ReadProc, WriteProc, SeekProc, CloseProc,
                                 SizeProc, MapProc, UnmapProc, options);
  TIFFOpenOptionsFree(options);
  return tiff;
}

ImageDecodeResult Failure(ImageStatus status) { return {status, std::nullopt}; }

// Strips of 8-bit RGB, or RGB with straight alpha, in one plane: read row by row, so
// that alpha comes back as it was stored.
bool IsPlainRgb(TIFF* tiff) {
  uint16_t bits = 0, samples = 0, photometric = 0, planar = 0;
  uint16_t extraCount = 0;
  uint16_t* extra = nullptr;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_EXTRASAMPLES, &extraCount, &extra);
  if (!TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric)) return false;
  if (TIFFIsTiled(tiff) || bits != 8 || photometric != PHOTOMETRIC_RGB ||
      planar != PLANARCONFIG_CONTIG) {
    return false;
  }
  if (samples == 3) return extraCount == 0;
  return samples == 4 && extraCount == 1 && extra && extra[0] == EXTRASAMPLE_UNASSALPHA;
}

ImageDecodeResult ReadPlainRgb(TIFF* tiff, uint32_t width, uint32_t height) {
  uint16_t samples = 0;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
  const tmsize_t lineSize = TIFFScanlineSize(tiff);
  if (lineSize < static_cast<tmsize_t>(width) * samples) return Failure(ImageStatus::kGenericError);
  std::optional<Bitmap> image =
      Bitmap::Create(static_cast<int32_t>(width), static_cast<int32_t>(height),
                     samples == 4 ? PixelFormat::kArgb32 : PixelFormat::kRgb24);
  if (!image) return Failure(ImageStatus::kOutOfMemory);
  std::vector<uint8_t> line(static_cast<size_t>(lineSize));
  for (uint32_t y = 0; y < height; ++y) {
    if (TIFFReadScanline(tiff, line.data(), y, 0) != 1) return Failure(ImageStatus::kGenericError);
    for (uint32_t x = 0; x < width; ++x) {
      const uint8_t* p = line.data() + size_t{x} * samples;
      image->SetPixel(static_cast<int32_t>(x), static_cast<int32_t>(y),
                      MakeArgb(samples == 4 ? p[3] : 255, p[0], p[1], p[2]));
    }
  }
  return {ImageStatus::kOk, std::move(image)};
}

// Any other layout through the library's RGBA conversion, which premultiplies alpha.
ImageDecodeResult ReadThroughRgba(TIFF* tiff, uint32_t width, uint32_t height) {
  std::vector<uint32_t> raster;
  try {
    raster.resize(size_t{width} * height);
  } catch (const std::bad_alloc&) {
    return Failure(ImageStatus::kOutOfMemory);
  }
  // Stops at the first error, so a truncated strip fails the whole picture.
  if (!TIFFReadRGBAImageOriented(tiff, width, height, raster.data(), ORIENTATION_TOPLEFT, 1)) {
    return Failure(ImageStatus::kGenericError);
  }
  const bool alpha =
      std::any_of(raster.begin(), raster.end(), [](uint32_t p) { return TIFFGetA(p) != 255; });
  std::optional<Bitmap> image =
      Bitmap::Create(static_cast<int32_t>(width), static_cast<int32_t>(height),
                     alpha ? PixelFormat::kArgb32 : PixelFormat::kRgb24);
  if (!image) return Failure(ImageStatus::kOutOfMemory);
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      const uint32_t p = raster[size_t{y} * width + x];
      const uint32_t a = TIFFGetA(p);
      auto straight = [a](uint32_t c) {
        return static_cast<uint8_t>(a == 0 ? 0 : std::min<uint32_t>(255, (c * 255 + a / 2) / a));
      };
      image->SetPixel(static_cast<int32_t>(x), static_cast<int32_t>(y),
                      MakeArgb(static_cast<uint8_t>(a), straight(TIFFGetR(p)),
                               straight(TIFFGetG(p)), straight(TIFFGetB(p))));
    }
  }
  return {ImageStatus::kOk, std::move(image)};
}

}  // namespace

bool LooksLikeTiff(std::string_view bytes) {
  return bytes.size() >= 4 &&
         (std::memcmp(bytes.data(), "II*\0", 4) == 0 || std::memcmp(bytes.data(), "MM\0*", 4) == 0);
}

ImageDecodeResult DecodeTiff(std::string_view bytes) {
  MemoryFile file{bytes};
  TIFF* tiff = OpenMemory(file, "rm");
  if (!tiff) return Failure(ImageStatus::kGenericError);
  uint32_t width = 0;
  uint32_t height = 0;
  TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
  TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
  ImageDecodeResult result = Bitmap::SizeAllowed(width, height)
                                 ? (IsPlainRgb(tiff) ? ReadPlainRgb(tiff, width, height)
                                                     : ReadThroughRgba(tiff, width, height))
                                 : Failure(ImageStatus::kOutOfMemory);
  TIFFClose(tiff);
  return result;
}

ImageEncodeResult EncodeTiff(const Bitmap& image) {
  const bool alpha = image.format() == PixelFormat::kArgb32 ||
                     (image.format() == PixelFormat::kIndexed8 &&
                      std::any_of(image.palette().begin(), image.palette().end(),
                                  [](Argb c) { return AlphaOf(c) != 255; }));
  std::string bytes;
  MemoryFile file;
  file.output = &bytes;
  TIFF* tiff = OpenMemory(file, "w");
  if (!tiff) return {ImageStatus::kGenericError, {}};
  const uint16_t samples = alpha ? 4 : 3;
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(image.width()));
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(image.height()));
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, samples);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
  TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
  if (alpha) {
    const uint16_t extra[1] = {EXTRASAMPLE_UNASSALPHA};
    TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, extra);
  }
  TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tiff, 0));
  std::vector<uint8_t> line(static_cast<size_t>(image.width()) * samples);
  bool ok = true;
  for (int32_t y = 0; ok && y < image.height(); ++y) {
    for (int32_t x = 0; x < image.width(); ++x) {
      const Argb c = image.PixelAt(x, y);
      uint8_t* p = line.data() + static_cast<size_t>(x) * samples;
      p[0] = RedOf(c);
      p[1] = GreenOf(c);
      p[2] = BlueOf(c);
      if (alpha) p[3] = AlphaOf(c);
    }
    ok = TIFFWriteScanline(tiff, line.data(), static_cast<uint32_t>(y), 0) == 1;
  }
  ok = ok && TIFFFlush(tiff) == 1;
  TIFFClose(tiff);
  if (!ok) return {ImageStatus::kGenericError, {}};
  return {ImageStatus::kOk, std::move(bytes)};
}

}  // namespace qorva::posix
