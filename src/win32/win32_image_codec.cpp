// The imaging library on Windows: GDI+ through its flat interface, started and shut
// down around each call. Pictures travel through in-memory streams.
#include <objidl.h>
#include <windows.h>

#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include <cstring>
#include <vector>

#include "platform/native_image_codec.h"
#include "win32/com_ptr.h"
#include "win32/win32_skin_widgets.h"

namespace qorva {

namespace {

namespace gp = Gdiplus::DllExports;
using Gdiplus::GpBitmap;
using Gdiplus::GpImage;

// The quality parameter of the JPEG encoder.
constexpr GUID kEncoderQuality = {
    0x1d5be4b5, 0xfa4a, 0x452d, {0x9c, 0xdd, 0x5d, 0xb3, 0x51, 0x05, 0xe7, 0xeb}};

ImageStatus FromGdiplus(Gdiplus::Status status) { return static_cast<ImageStatus>(status); }

struct ImageDeleter {
  void operator()(GpImage* image) const { gp::GdipDisposeImage(image); }
};
using ImageHandle = std::unique_ptr<GpImage, ImageDeleter>;

ComPtr<IStream> StreamOf(std::string_view bytes) {
  ComPtr<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.ReleaseAndGetAddressOf()))) return nullptr;
  ULONG written = 0;
  if (!bytes.empty() &&
      (FAILED(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written)) ||
       written != bytes.size())) {
    return nullptr;
  }
  LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  return stream;
}

bool ReadAll(IStream* stream, std::string& out) {
  STATSTG stat{};
  if (FAILED(stream->Stat(&stat, STATFLAG_NONAME))) return false;
  LARGE_INTEGER start{};
  if (FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr))) return false;
  out.resize(static_cast<size_t>(stat.cbSize.QuadPart));
  ULONG read = 0;
  if (out.empty()) return true;
  return SUCCEEDED(stream->Read(out.data(), static_cast<ULONG>(out.size()), &read)) &&
         read == out.size();
}

Gdiplus::PixelFormat GdiplusFormat(PixelFormat format) {
  switch (format) {
    case PixelFormat::kRgb24:
      return PixelFormat24bppRGB;
    case PixelFormat::kArgb32:
      return PixelFormat32bppARGB;
    case PixelFormat::kIndexed8:
      return PixelFormat8bppIndexed;
  }
  return PixelFormat32bppARGB;
}

// Copies the pixels out of a decoded GDI+ bitmap in `format`.
ImageStatus CopyPixels(GpBitmap* source, PixelFormat format, Bitmap& target) {
  Gdiplus::GpRect all(0, 0, target.width(), target.height());
  Gdiplus::BitmapData data{};
  Gdiplus::Status status = gp::GdipBitmapLockBits(source, &all, Gdiplus::ImageLockModeRead,
                                                  GdiplusFormat(format), &data);
  if (status != Gdiplus::Ok) return FromGdiplus(status);
  const size_t rowBytes = static_cast<size_t>(target.width()) * Bitmap::BytesPerPixel(format);
  for (int32_t y = 0; y < target.height(); ++y) {
    std::memcpy(target.Row(y),
                static_cast<const uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride,
                rowBytes);
  }
  gp::GdipBitmapUnlockBits(source, &data);
  if (format != PixelFormat::kIndexed8) return ImageStatus::kOk;
  INT size = 0;
  if (gp::GdipGetImagePaletteSize(source, &size) != Gdiplus::Ok ||
      size < static_cast<INT>(sizeof(Gdiplus::ColorPalette))) {
    return ImageStatus::kGenericError;
  }
  std::vector<uint8_t> buffer(static_cast<size_t>(size));
  auto* palette = reinterpret_cast<Gdiplus::ColorPalette*>(buffer.data());
  if (gp::GdipGetImagePalette(source, palette, size) != Gdiplus::Ok)
    return ImageStatus::kGenericError;
  std::vector<Argb> entries(palette->Entries,
                            palette->Entries + std::min<UINT>(palette->Count, 256));
  return target.SetPalette(std::move(entries), palette->Flags);
}

class Win32ImageCodec final : public ImageCodec {
 public:
  ImageDecodeResult Decode(std::string_view bytes) const override {
    GdiplusSession session;
    if (!session.ok()) return {ImageStatus::kGenericError, std::nullopt};
    ComPtr<IStream> stream = StreamOf(bytes);
    if (!stream) return {ImageStatus::kOutOfMemory, std::nullopt};
    GpBitmap* raw = nullptr;
    Gdiplus::Status status = gp::GdipCreateBitmapFromStream(stream.Get(), &raw);
    if (status != Gdiplus::Ok || !raw) {
      return {status == Gdiplus::Ok ? ImageStatus::kGenericError : FromGdiplus(status),
              std::nullopt};
    }
    ImageHandle image(raw);
    UINT width = 0, height = 0;
    Gdiplus::PixelFormat sourceFormat = 0;
    gp::GdipGetImageWidth(raw, &width);
    gp::GdipGetImageHeight(raw, &height);
    gp::GdipGetImagePixelFormat(raw, &sourceFormat);
    // The header is read; the pixels are decoded only when locked below.
    if (!Bitmap::SizeAllowed(width, height)) return {ImageStatus::kOutOfMemory, std::nullopt};
    PixelFormat format = PixelFormat::kRgb24;
    if (sourceFormat == PixelFormat8bppIndexed) {
      format = PixelFormat::kIndexed8;
    } else if (Gdiplus::IsAlphaPixelFormat(sourceFormat) ||
               Gdiplus::IsIndexedPixelFormat(sourceFormat)) {
      format = PixelFormat::kArgb32;
    }
    std::optional<Bitmap> target =
        Bitmap::Create(static_cast<int32_t>(width), static_cast<int32_t>(height), format);
    if (!target) return {ImageStatus::kOutOfMemory, std::nullopt};
    ImageStatus copied = CopyPixels(raw, format, *target);
    if (copied != ImageStatus::kOk) return {copied, std::nullopt};
    return {ImageStatus::kOk, std::move(target)};
  }

  std::vector<ImageEncoderInfo> Encoders() const override {
    GdiplusSession session;
    std::vector<ImageEncoderInfo> list;
    if (!session.ok()) return list;
    UINT count = 0, size = 0;
    if (gp::GdipGetImageEncodersSize(&count, &size) != Gdiplus::Ok || count == 0) return list;
    std::vector<uint8_t> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (gp::GdipGetImageEncoders(count, size, codecs) != Gdiplus::Ok) return list;
    for (UINT i = 0; i < count; ++i) {
      const Gdiplus::ImageCodecInfo& codec = codecs[i];
      ImageEncoderInfo info;
      info.clsid.data1 = codec.Clsid.Data1;
      info.clsid.data2 = codec.Clsid.Data2;
      info.clsid.data3 = codec.Clsid.Data3;
      std::memcpy(info.clsid.data4.data(), codec.Clsid.Data4, 8);
      auto text = [](const WCHAR* s) {
        return s ? Text(reinterpret_cast<const char16_t*>(s)) : Text();
      };
      info.mimeType = text(codec.MimeType);
      info.formatName = text(codec.FormatDescription);
      info.extensions = text(codec.FilenameExtension);
      list.push_back(std::move(info));
    }
    return list;
  }

  ImageEncodeResult Encode(const Bitmap& image, const Guid& clsid,
                           const ImageEncoderParameters& parameters) const override {
    if (parameters.quality && (*parameters.quality < 0 || *parameters.quality > 100)) {
      return {ImageStatus::kInvalidParameter, {}};
    }
    GdiplusSession session;
    if (!session.ok()) return {ImageStatus::kGenericError, {}};
    // GDI+ reads the pixels in place; the copy keeps the caller's bitmap untouched.
    Bitmap pixels = image;
    GpBitmap* raw = nullptr;
    Gdiplus::Status status = gp::GdipCreateBitmapFromScan0(
        pixels.width(), pixels.height(), static_cast<INT>(pixels.stride()),
        GdiplusFormat(pixels.format()), pixels.Row(0), &raw);
    if (status != Gdiplus::Ok) return {FromGdiplus(status), {}};
    ImageHandle handle(raw);
    if (pixels.format() == PixelFormat::kIndexed8) {
      const std::vector<Argb>& entries = pixels.palette();
      std::vector<uint8_t> buffer(sizeof(Gdiplus::ColorPalette) +
                                  sizeof(Gdiplus::ARGB) * std::max<size_t>(entries.size(), 1));
      auto* palette = reinterpret_cast<Gdiplus::ColorPalette*>(buffer.data());
      palette->Flags = pixels.paletteFlags();
      palette->Count = static_cast<UINT>(entries.size());
      std::copy(entries.begin(), entries.end(), palette->Entries);
      status = gp::GdipSetImagePalette(raw, palette);
      if (status != Gdiplus::Ok) return {FromGdiplus(status), {}};
    }
    CLSID encoder{};
    encoder.Data1 = clsid.data1;
    encoder.Data2 = clsid.data2;
    encoder.Data3 = clsid.data3;
    std::memcpy(encoder.Data4, clsid.data4.data(), 8);
    Gdiplus::EncoderParameters list{};
    ULONG quality = 0;
    if (parameters.quality) {
      quality = static_cast<ULONG>(*parameters.quality);
      list.Count = 1;
      list.Parameter[0].Guid = kEncoderQuality;
      list.Parameter[0].NumberOfValues = 1;
      list.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
      list.Parameter[0].Value = &quality;
    }
    ComPtr<IStream> stream = StreamOf({});
    if (!stream) return {ImageStatus::kOutOfMemory, {}};
    status = gp::GdipSaveImageToStream(raw, stream.Get(), &encoder,
                                       parameters.quality ? &list : nullptr);
    if (status != Gdiplus::Ok) return {FromGdiplus(status), {}};
    ImageEncodeResult result;
    if (!ReadAll(stream.Get(), result.bytes)) return {ImageStatus::kWin32Error, {}};
    result.status = ImageStatus::kOk;
    return result;
  }
};

}  // namespace

std::unique_ptr<ImageCodec> CreateNativeImageCodec() { return std::make_unique<Win32ImageCodec>(); }

}  // namespace qorva
