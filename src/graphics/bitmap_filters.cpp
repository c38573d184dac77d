#include "graphics/bitmap_filters.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

namespace qorva {

namespace {

bool Filterable(const Bitmap& image) { return image.format() != PixelFormat::kIndexed8; }

// Quarter turns go through square tiles, so that both the rows read and the rows
// written stay in the cache.
template <size_t N>
void TurnPixels(const Bitmap& src, Bitmap& dst, Turn turn) {
  constexpr int32_t kTile = 64;
  const int32_t width = src.width();
  const int32_t height = src.height();
  for (int32_t top = 0; top < height; top += kTile) {
    const int32_t bottom = std::min(top + kTile, height);
    for (int32_t left = 0; left < width; left += kTile) {
      const int32_t right = std::min(left + kTile, width);
      for (int32_t y = top; y < bottom; ++y) {
        const uint8_t* in = src.Row(y) + static_cast<size_t>(left) * N;
        if (turn == Turn::kClockwise) {
          // (x, y) goes to (height - 1 - y, x).
          const size_t column = static_cast<size_t>(height - 1 - y) * N;
          for (int32_t x = left; x < right; ++x, in += N) std::memcpy(dst.Row(x) + column, in, N);
        } else {
          // (x, y) goes to (y, width - 1 - x).
          const size_t column = static_cast<size_t>(y) * N;
          for (int32_t x = left; x < right; ++x, in += N) {
            std::memcpy(dst.Row(width - 1 - x) + column, in, N);
          }
        }
      }
    }
  }
}

template <size_t N>
void ReverseRow(uint8_t* row, int32_t width) {
  uint8_t* a = row;
  uint8_t* b = row + static_cast<size_t>(width - 1) * N;
  for (; a < b; a += N, b -= N) {
    for (size_t c = 0; c < N; ++c) std::swap(a[c], b[c]);
  }
}

uint8_t ToChannel(float value) {
  return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
}

// The new colours of the pixels, by one of three kernels: a table per channel when each
// output channel reads only its own input (invert, brightness), one weighted sum copied
// to all three when the outputs are equal (grey), else three weighted sums. The sums are
// in 16-bit fixed point on the 0..255 scale, from tables of each input's share.
class ColorRule {
 public:
  enum class Kind { kPerChannel, kEqualOutputs, kMixed };

  explicit ColorRule(const ColorMatrix& m) {
    kind_ = Kind::kPerChannel;
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) {
        if (i != j && m[i][j] != 0.0f) kind_ = Kind::kMixed;
      }
    }
    if (kind_ == Kind::kPerChannel) {
      // The same float arithmetic as the whole product: exact.
      for (int j = 0; j < 3; ++j) {
        for (int c = 0; c < 256; ++c) {
          float value = m[4][j];
          value += (static_cast<float>(c) / 255.0f) * m[j][j];
          bytes_[static_cast<size_t>(2 - j)][static_cast<size_t>(c)] = ToChannel(value);
        }
      }
      sameTables_ = bytes_[0] == bytes_[1] && bytes_[1] == bytes_[2];
      complements_ = sameTables_;
      for (int c = 0; c < 256; ++c)
        complements_ = complements_ && bytes_[0][static_cast<size_t>(c)] == 255 - c;
      return;
    }
    bool equal = true;
    for (int i = 0; i < 5; ++i) equal = equal && m[i][0] == m[i][1] && m[i][1] == m[i][2];
    if (equal) kind_ = Kind::kEqualOutputs;
    // shares_[output][input in pixel order: blue, green, red][value]; the offset and the
    // rounding half ride on the blue share.
    for (int j = 0; j < 3; ++j) {
      const auto offset = static_cast<int32_t>(std::lround(m[4][j] * 255.0 * 65536.0)) + 32768;
      for (int i = 0; i < 3; ++i) {
        const auto weight = static_cast<int32_t>(std::lround(m[i][j] * 65536.0));
        for (int32_t c = 0; c < 256; ++c) {
          shares_[static_cast<size_t>(2 - j)][static_cast<size_t>(2 - i)][static_cast<size_t>(c)] =
              c * weight + (i == 2 ? offset : 0);
        }
      }
    }
  }

  Kind kind() const { return kind_; }
  // Per channel, with one table for all three.
  bool sameTables() const { return sameTables_; }
  // That table takes every value to 255 minus it.
  bool complements() const { return complements_; }
  const uint8_t* table(size_t channel) const { return bytes_[channel].data(); }

  // `bgr` in, `out` the new blue, green, red.
  void Apply(const uint8_t* bgr, uint8_t* out) const {
    switch (kind_) {
      case Kind::kPerChannel:
        out[0] = bytes_[0][bgr[0]];
        out[1] = bytes_[1][bgr[1]];
        out[2] = bytes_[2][bgr[2]];
        return;
      case Kind::kEqualOutputs:
        out[0] = out[1] = out[2] = Sum(0, bgr);
        return;
      case Kind::kMixed: {
        const uint8_t blue = Sum(0, bgr), green = Sum(1, bgr), red = Sum(2, bgr);
        out[0] = blue;
        out[1] = green;
        out[2] = red;
        return;
      }
    }
  }

 private:
  uint8_t Sum(size_t output, const uint8_t* bgr) const {
    const auto& share = shares_[output];
    const int32_t sum = (share[0][bgr[0]] + share[1][bgr[1]] + share[2][bgr[2]]) >> 16;
    return static_cast<uint8_t>(sum < 0 ? 0 : (sum > 255 ? 255 : sum));
  }

  Kind kind_;
  bool sameTables_ = false;
  bool complements_ = false;
  std::array<std::array<uint8_t, 256>, 3> bytes_{};                  // by channel B, G, R
  std::array<std::array<std::array<int32_t, 256>, 3>, 3> shares_{};  // [out][in][value]
};

// 255 - c is c with every bit flipped: eight channels at a time.
void ComplementBytes(uint8_t* bytes, size_t count) {
  size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    uint64_t word;
    std::memcpy(&word, bytes + i, 8);
    word = ~word;
    std::memcpy(bytes + i, &word, 8);
  }
  for (; i < count; ++i) bytes[i] = static_cast<uint8_t>(~bytes[i]);
}

void ApplyToOpaqueRows(Bitmap& image, const ColorRule& rule) {
  const int32_t width = image.width();
  const size_t rowBytes = static_cast<size_t>(width) * 3;
  for (int32_t y = 0; y < image.height(); ++y) {
    uint8_t* p = image.Row(y);
    if (rule.complements()) {
      ComplementBytes(p, rowBytes);
      continue;
    }
    if (rule.sameTables()) {
      // Every byte of the row is a channel: one lookup each.
      const uint8_t* table = rule.table(0);
      for (size_t i = 0; i < rowBytes; ++i) p[i] = table[p[i]];
      continue;
    }
    switch (rule.kind()) {
      case ColorRule::Kind::kPerChannel:
        for (int32_t x = 0; x < width; ++x, p += 3) {
          p[0] = rule.table(0)[p[0]];
          p[1] = rule.table(1)[p[1]];
          p[2] = rule.table(2)[p[2]];
        }
        break;
      default:
        for (int32_t x = 0; x < width; ++x, p += 3) rule.Apply(p, p);
        break;
    }
  }
}

void ApplyOverAlphaRows(Bitmap& image, const ColorRule& rule) {
  const int32_t width = image.width();
  for (int32_t y = 0; y < image.height(); ++y) {
    uint8_t* p = image.Row(y);
    for (int32_t x = 0; x < width; ++x, p += 4) {
      const uint32_t alpha = p[3];
      if (alpha == 0) continue;  // the new colour is drawn with no weight
      if (alpha == 255) {
        rule.Apply(p, p);
        continue;
      }
      uint8_t adjusted[3] = {};
      rule.Apply(p, adjusted);
      // Straight alpha over straight alpha, both layers with the pixel's alpha.
      const uint32_t srcWeight = alpha * 255;
      const uint32_t destWeight = alpha * (255 - alpha);
      const uint32_t total = srcWeight + destWeight;
      for (int i = 0; i < 3; ++i) {
        p[i] =
            static_cast<uint8_t>((adjusted[i] * srcWeight + p[i] * destWeight + total / 2) / total);
      }
      p[3] = static_cast<uint8_t>((total + 127) / 255);
    }
  }
}

// Over white: what a translucent pixel looks like once it loses its alpha.
uint8_t OverWhite(uint32_t channel, uint32_t alpha) {
  return static_cast<uint8_t>((channel * alpha + 255 * (255 - alpha) + 127) / 255);
}

// The source pixels that make one output pixel along one axis, with their weights in
// 14-bit fixed point (summing to exactly 1 << 14, so a flat colour stays flat).
struct Taps {
  static constexpr int32_t kShift = 14;
  std::vector<int32_t> first;
  std::vector<int32_t> count;
  std::vector<int32_t> weights;  // `stride` per output pixel
  int32_t stride = 0;
};

Taps TriangleTaps(int32_t inSize, int32_t outSize) {
  const double scale = static_cast<double>(inSize) / outSize;
  const double filterScale = std::max(scale, 1.0);
  const double support = filterScale;  // the triangle reaches one source pixel, widened
  Taps taps;
  taps.stride = static_cast<int32_t>(std::ceil(support)) * 2 + 1;
  taps.first.resize(static_cast<size_t>(outSize));
  taps.count.resize(static_cast<size_t>(outSize));
  taps.weights.assign(static_cast<size_t>(outSize) * static_cast<size_t>(taps.stride), 0);
  std::vector<double> raw(static_cast<size_t>(taps.stride));
  for (int32_t i = 0; i < outSize; ++i) {
    const double center = (i + 0.5) * scale;
    auto lo = std::max<int32_t>(static_cast<int32_t>(std::floor(center - support + 0.5)), 0);
    const auto hi =
        std::min<int32_t>(static_cast<int32_t>(std::floor(center + support + 0.5)), inSize);
    int32_t n = std::min(hi - lo, taps.stride);
    double sum = 0;
    for (int32_t k = 0; k < n; ++k) {
      const double distance = std::abs((lo + k + 0.5 - center) / filterScale);
      raw[static_cast<size_t>(k)] = std::max(0.0, 1.0 - distance);
      sum += raw[static_cast<size_t>(k)];
    }
    if (n <= 0 || sum <= 0) {
      // Too narrow to reach a centre: the nearest pixel.
      lo = std::clamp(static_cast<int32_t>(center), 0, inSize - 1);
      n = 1;
      raw[0] = 1;
      sum = 1;
    }
    int32_t* w = taps.weights.data() + static_cast<size_t>(i) * static_cast<size_t>(taps.stride);
    int32_t total = 0;
    int32_t largest = 0;
    for (int32_t k = 0; k < n; ++k) {
      w[k] = static_cast<int32_t>(
          std::lround(raw[static_cast<size_t>(k)] / sum * (1 << Taps::kShift)));
      total += w[k];
      if (w[k] > w[largest]) largest = k;
    }
    w[largest] += (1 << Taps::kShift) - total;
    taps.first[static_cast<size_t>(i)] = lo;
    taps.count[static_cast<size_t>(i)] = n;
  }
  return taps;
}

uint8_t FromFixed(int32_t sum) {
  return static_cast<uint8_t>(
      std::clamp((sum + (1 << (Taps::kShift - 1))) >> Taps::kShift, 0, 255));
}

// Scales `image` (N channels a pixel; with 4, colours premultiplied first) into `out`
// on white: columns first, whose sums run along whole rows, then rows.
template <size_t N>
void Resample(const Bitmap& image, Bitmap& out) {
  const int32_t inWidth = image.width();
  const int32_t inHeight = image.height();
  const int32_t outWidth = out.width();
  const int32_t outHeight = out.height();
  const Taps across = TriangleTaps(inWidth, outWidth);
  const Taps down = TriangleTaps(inHeight, outHeight);
  const size_t inValues = static_cast<size_t>(inWidth) * N;

  std::vector<uint8_t> premultiplied;
  if constexpr (N == 4) {
    premultiplied.resize(inValues * static_cast<size_t>(inHeight));
    for (int32_t y = 0; y < inHeight; ++y) {
      const uint8_t* p = image.Row(y);
      uint8_t* q = premultiplied.data() + inValues * static_cast<size_t>(y);
      for (int32_t x = 0; x < inWidth; ++x, p += 4, q += 4) {
        const uint32_t alpha = p[3];
        for (int c = 0; c < 3; ++c) q[c] = static_cast<uint8_t>((p[c] * alpha + 127) / 255);
        q[3] = p[3];
      }
    }
  }
  auto inRow = [&](int32_t y) -> const uint8_t* {
    if constexpr (N == 4) return premultiplied.data() + inValues * static_cast<size_t>(y);
    return image.Row(y);
  };

  std::vector<int32_t> sums(inValues);
  std::vector<uint8_t> column(inValues);
  for (int32_t y = 0; y < outHeight; ++y) {
    std::fill(sums.begin(), sums.end(), 0);
    const int32_t* w =
        down.weights.data() + static_cast<size_t>(y) * static_cast<size_t>(down.stride);
    const int32_t first = down.first[static_cast<size_t>(y)];
    for (int32_t k = 0; k < down.count[static_cast<size_t>(y)]; ++k) {
      const uint8_t* row = inRow(first + k);
      const int32_t weight = w[k];
      for (size_t i = 0; i < inValues; ++i) sums[i] += weight * row[i];
    }
    for (size_t i = 0; i < inValues; ++i) column[i] = FromFixed(sums[i]);

    uint8_t* q = out.Row(y);
    for (int32_t x = 0; x < outWidth; ++x, q += 3) {
      const int32_t* wx =
          across.weights.data() + static_cast<size_t>(x) * static_cast<size_t>(across.stride);
      const uint8_t* p =
          column.data() + static_cast<size_t>(across.first[static_cast<size_t>(x)]) * N;
      int32_t s[N] = {};
      const int32_t count = across.count[static_cast<size_t>(x)];
      for (int32_t k = 0; k < count; ++k, p += N) {
        for (size_t c = 0; c < N; ++c) s[c] += wx[k] * p[c];
      }
      if constexpr (N == 4) {
        // Premultiplied colour plus the white that shows through.
        const int32_t clear = 255 - FromFixed(s[3]);
        for (int c = 0; c < 3; ++c)
          q[c] = static_cast<uint8_t>(std::min(255, FromFixed(s[c]) + clear));
      } else {
        for (int c = 0; c < 3; ++c) q[c] = FromFixed(s[c]);
      }
    }
  }
}

}  // namespace

std::optional<Bitmap> Turned(const Bitmap& image, Turn turn) {
  if (!Filterable(image)) return std::nullopt;
  std::optional<Bitmap> out = Bitmap::Create(image.height(), image.width(), image.format());
  if (!out) return std::nullopt;
  if (image.format() == PixelFormat::kRgb24) {
    TurnPixels<3>(image, *out, turn);
  } else {
    TurnPixels<4>(image, *out, turn);
  }
  return out;
}

ImageStatus MirrorLeftRight(Bitmap& image) {
  if (!Filterable(image)) return ImageStatus::kInvalidParameter;
  for (int32_t y = 0; y < image.height(); ++y) {
    if (image.format() == PixelFormat::kRgb24) {
      ReverseRow<3>(image.Row(y), image.width());
    } else {
      ReverseRow<4>(image.Row(y), image.width());
    }
  }
  return ImageStatus::kOk;
}

ImageStatus MirrorUpDown(Bitmap& image) {
  if (!Filterable(image)) return ImageStatus::kInvalidParameter;
  const size_t bytes = image.stride();
  std::vector<uint8_t> held(bytes);
  for (int32_t top = 0, bottom = image.height() - 1; top < bottom; ++top, --bottom) {
    std::memcpy(held.data(), image.Row(top), bytes);
    std::memcpy(image.Row(top), image.Row(bottom), bytes);
    std::memcpy(image.Row(bottom), held.data(), bytes);
  }
  return ImageStatus::kOk;
}

ImageStatus DrawColorMatrixOver(Bitmap& image, const ColorMatrix& matrix) {
  if (!Filterable(image)) return ImageStatus::kInvalidParameter;
  const ColorRule rule(matrix);
  if (image.format() == PixelFormat::kRgb24) {
    ApplyToOpaqueRows(image, rule);
  } else {
    ApplyOverAlphaRows(image, rule);
  }
  return ImageStatus::kOk;
}

std::optional<Bitmap> FlattenedOntoWhite(const Bitmap& image) {
  if (!Filterable(image)) return std::nullopt;
  if (image.format() == PixelFormat::kRgb24) return image;
  std::optional<Bitmap> out = Bitmap::Create(image.width(), image.height(), PixelFormat::kRgb24);
  if (!out) return std::nullopt;
  for (int32_t y = 0; y < image.height(); ++y) {
    const uint8_t* p = image.Row(y);
    uint8_t* q = out->Row(y);
    for (int32_t x = 0; x < image.width(); ++x, p += 4, q += 3) {
      for (int c = 0; c < 3; ++c) q[c] = OverWhite(p[c], p[3]);
    }
  }
  return out;
}

std::optional<Bitmap> ResizedOntoWhite(const Bitmap& image, int32_t width, int32_t height) {
  if (!Filterable(image)) return std::nullopt;
  std::optional<Bitmap> out = Bitmap::Create(width, height, PixelFormat::kRgb24);
  if (!out) return std::nullopt;
  if (image.format() == PixelFormat::kRgb24) {
    Resample<3>(image, *out);
  } else {
    Resample<4>(image, *out);
  }
  return out;
}

}  // namespace qorva
