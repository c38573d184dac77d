#include "graphics/bmp_format.h"

#include <cstdint>
#include <cstring>

namespace qorva {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kV5HeaderSize = 124;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
constexpr uint32_t kBiAlphaBitfields = 6;

uint16_t Read16(std::string_view b, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) |
                               (static_cast<uint8_t>(b[at + 1]) << 8));
}
uint32_t Read32(std::string_view b, size_t at) {
  return uint32_t{Read16(b, at)} | (uint32_t{Read16(b, at + 2)} << 16);
}

void Put16(std::string& out, uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// One channel of a bit-field pixel, scaled to 8 bits (`fallback` when the mask is empty).
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  explicit Channel(uint32_t m) : mask(m) {
    if (!m) return;
    while (!((m >> shift) & 1)) ++shift;
    while (bits + shift < 32 && ((m >> (shift + bits)) & 1)) ++bits;
  }
  uint8_t Extract(uint32_t pixel, uint8_t fallback) const {
    if (!mask) return fallback;
    uint32_t v = (pixel & mask) >> shift;
    uint32_t max = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
    return static_cast<uint8_t>((uint64_t{v} * 255 + max / 2) / max);
  }
};

ImageDecodeResult Failure(ImageStatus status) { return {status, std::nullopt}; }

}  // namespace

bool LooksLikeBmp(std::string_view bytes) {
  return bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
}

ImageDecodeResult DecodeBmp(std::string_view b) {
  if (!LooksLikeBmp(b) || b.size() < kFileHeaderSize + 4) {
    return Failure(ImageStatus::kUnknownImageFormat);
  }
  const uint32_t pixelOffset = Read32(b, 10);
  const uint32_t headerSize = Read32(b, kFileHeaderSize);
  if (headerSize < kCoreHeaderSize || headerSize > b.size() - kFileHeaderSize) {
    return Failure(ImageStatus::kGenericError);
  }
  const size_t h = kFileHeaderSize;
  int64_t width = 0;
  int64_t height = 0;
  uint32_t bpp = 0;
  uint32_t compression = kBiRgb;
  uint32_t colorsUsed = 0;
  size_t paletteAt = h + headerSize;
  size_t paletteEntrySize = 4;
  uint32_t masks[4] = {0, 0, 0, 0};
  if (headerSize == kCoreHeaderSize) {
    width = Read16(b, h + 4);
    height = static_cast<int16_t>(Read16(b, h + 6));
    bpp = Read16(b, h + 10);
    paletteEntrySize = 3;
  } else {
    if (headerSize < kInfoHeaderSize) return Failure(ImageStatus::kGenericError);
    width = static_cast<int32_t>(Read32(b, h + 4));
    height = static_cast<int32_t>(Read32(b, h + 8));
    bpp = Read16(b, h + 14);
    compression = Read32(b, h + 16);
    colorsUsed = Read32(b, h + 32);
    if (compression == kBiBitfields || compression == kBiAlphaBitfields) {
      // The masks follow a plain info header, or sit inside a longer one.
      size_t maskCount = compression == kBiAlphaBitfields ? 4 : 3;
      size_t at = h + kInfoHeaderSize;
      if (headerSize == kInfoHeaderSize) {
        paletteAt += maskCount * 4;
      } else if (headerSize >= kInfoHeaderSize + 16) {
        maskCount = 4;
      }
      if (at + maskCount * 4 > b.size()) return Failure(ImageStatus::kGenericError);
      for (size_t i = 0; i < maskCount; ++i) masks[i] = Read32(b, at + i * 4);
    }
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (!Bitmap::SizeAllowed(width, height)) return Failure(ImageStatus::kOutOfMemory);

  const bool bitfields = compression == kBiBitfields || compression == kBiAlphaBitfields;
  if (compression != kBiRgb && !(bitfields && (bpp == 16 || bpp == 32))) {
    return Failure(ImageStatus::kNotImplemented);
  }
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) {
    return Failure(ImageStatus::kGenericError);
  }
  const uint64_t rowBytes = (static_cast<uint64_t>(width) * bpp + 31) / 32 * 4;
  if (pixelOffset > b.size() || rowBytes * static_cast<uint64_t>(height) > b.size() - pixelOffset) {
    return Failure(ImageStatus::kGenericError);  // truncated
  }

  std::vector<Argb> palette;
  if (bpp <= 8) {
    uint32_t count = colorsUsed ? colorsUsed : (1u << bpp);
    if (count > 256) count = 256;
    for (uint32_t i = 0; i < count; ++i) {
      size_t at = paletteAt + i * paletteEntrySize;
      if (at + 3 > pixelOffset || at + 3 > b.size()) break;
      palette.push_back(MakeArgb(255, static_cast<uint8_t>(b[at + 2]),
                                 static_cast<uint8_t>(b[at + 1]), static_cast<uint8_t>(b[at])));
    }
    if (palette.empty()) return Failure(ImageStatus::kGenericError);
  }
  if (!bitfields && bpp == 16) {
    masks[0] = 0x7C00;
    masks[1] = 0x03E0;
    masks[2] = 0x001F;
  }
  if (!bitfields && bpp == 32) {
    masks[0] = 0x00FF0000;
    masks[1] = 0x0000FF00;
    masks[2] = 0x000000FF;
  }
  const bool hasAlpha = bpp >= 16 && masks[3] != 0;
  const PixelFormat format = bpp <= 8   ? PixelFormat::kIndexed8
                             : hasAlpha ? PixelFormat::kArgb32
                                        : PixelFormat::kRgb24;
  std::optional<Bitmap> image =
      Bitmap::Create(static_cast<int32_t>(width), static_cast<int32_t>(height), format);
  if (!image) return Failure(ImageStatus::kOutOfMemory);
  if (format == PixelFormat::kIndexed8) image->SetPalette(std::move(palette), 0);

  const Channel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
  for (int64_t row = 0; row < height; ++row) {
    const size_t at = pixelOffset + static_cast<size_t>(row * static_cast<int64_t>(rowBytes));
    const auto y = static_cast<int32_t>(topDown ? row : height - 1 - row);
    const auto* src = reinterpret_cast<const uint8_t*>(b.data() + at);
    uint8_t* out = image->Row(y);
    for (int32_t x = 0; x < width; ++x) {
      switch (bpp) {
        case 1:
          out[x] = (src[x / 8] >> (7 - x % 8)) & 1;
          break;
        case 4:
          out[x] = (src[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F;
          break;
        case 8:
          out[x] = src[x];
          break;
        case 24: {
          const size_t at3 = static_cast<size_t>(x) * 3;
          std::memcpy(out + at3, src + at3, 3);
          break;
        }
        default: {  // 16 or 32 bits, little-endian
          const uint8_t* p = src + static_cast<size_t>(x) * (bpp / 8);
          uint32_t pixel = uint32_t{p[0]} | (uint32_t{p[1]} << 8);
          if (bpp == 32) pixel |= (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
          image->SetPixel(x, y,
                          MakeArgb(alpha.Extract(pixel, 255), red.Extract(pixel, 0),
                                   green.Extract(pixel, 0), blue.Extract(pixel, 0)));
        }
      }
    }
  }
  return {ImageStatus::kOk, std::move(image)};
}

ImageEncodeResult EncodeBmp(const Bitmap& image) {
  const PixelFormat format = image.format();
  const uint32_t bpp = format == PixelFormat::kRgb24 ? 24 : format == PixelFormat::kArgb32 ? 32 : 8;
  const uint32_t headerSize = format == PixelFormat::kArgb32 ? kV5HeaderSize : kInfoHeaderSize;
  const uint32_t paletteCount =
      format == PixelFormat::kIndexed8 ? static_cast<uint32_t>(image.palette().size()) : 0;
  const uint64_t rowBytes = (static_cast<uint64_t>(image.width()) * bpp + 31) / 32 * 4;
  const uint64_t pixelBytes = rowBytes * static_cast<uint64_t>(image.height());
  const uint64_t offset = kFileHeaderSize + headerSize + uint64_t{paletteCount} * 4;
  if (offset + pixelBytes > 0xFFFFFFFFu) return {ImageStatus::kValueOverflow, {}};

  std::string out;
  out.reserve(static_cast<size_t>(offset + pixelBytes));
  out += "BM";
  Put32(out, static_cast<uint32_t>(offset + pixelBytes));
  Put32(out, 0);
  Put32(out, static_cast<uint32_t>(offset));
  Put32(out, headerSize);
  Put32(out, static_cast<uint32_t>(image.width()));
  Put32(out, static_cast<uint32_t>(image.height()));  // positive: bottom row first
  Put16(out, 1);
  Put16(out, bpp);
  Put32(out, format == PixelFormat::kArgb32 ? kBiBitfields : kBiRgb);
  Put32(out, static_cast<uint32_t>(pixelBytes));
  Put32(out, 3780);  // 96 dots per inch, in dots per metre
  Put32(out, 3780);
  Put32(out, paletteCount);
  Put32(out, 0);
  if (format == PixelFormat::kArgb32) {
    for (uint32_t mask : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u}) Put32(out, mask);
    Put32(out, 0x73524742);  // colour space "sRGB"
    out.append(kV5HeaderSize - 60, '\0');
  }
  for (Argb entry : format == PixelFormat::kIndexed8 ? image.palette() : std::vector<Argb>{}) {
    out.push_back(static_cast<char>(BlueOf(entry)));
    out.push_back(static_cast<char>(GreenOf(entry)));
    out.push_back(static_cast<char>(RedOf(entry)));
    out.push_back('\0');
  }
  const size_t used = static_cast<size_t>(image.width()) * (bpp / 8);
  for (int32_t y = image.height() - 1; y >= 0; --y) {
    out.append(reinterpret_cast<const char*>(image.Row(y)), used);
    out.append(static_cast<size_t>(rowBytes) - used, '\0');
  }
  return {ImageStatus::kOk, std::move(out)};
}

}  // namespace qorva
