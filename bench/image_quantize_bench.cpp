// Octree quantisation of a 1920 by 1080 photo-like picture: the production quantiser,
// the literal transcription it must match, and ImageMagick's `convert -colors 256` on
// the same picture (with a plain `convert` to the null image alongside, so that the
// start-up and reading it includes can be taken off); and a JPEG quality-90 encode.
// bench/image_quantize.py runs this with repetitions and prints medians and ratios.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "graphics/color_quantizer.h"
#include "graphics/literal_octree_quantizer.h"
#include "graphics/test_images.h"
#include "platform/native_image_codec.h"
#include "support/image_files.h"

namespace {

using qorva::Bitmap;

const Bitmap& Photo() {
  static const Bitmap photo = qorva::test_images::PhotoLike(1920, 1080, 2024);
  return photo;
}

// The photo as a binary PPM file for ImageMagick, written once.
const std::string& PhotoFile() {
  static const std::string path = [] {
    std::string file = (std::filesystem::temp_directory_path() / "qorva-bench-photo.ppm").string();
    std::ofstream out(file, std::ios::binary);
    const Bitmap& photo = Photo();
    out << "P6\n" << photo.width() << " " << photo.height() << "\n255\n";
    for (int32_t y = 0; y < photo.height(); ++y) {
      const uint8_t* p = photo.Row(y);
      for (int32_t x = 0; x < photo.width(); ++x, p += 3) {
        const char rgb[3] = {static_cast<char>(p[2]), static_cast<char>(p[1]),
                             static_cast<char>(p[0])};
        out.write(rgb, 3);
      }
    }
    return file;
  }();
  return path;
}

void BM_QuantizeToIndexed(benchmark::State& state) {
  const Bitmap& photo = Photo();
  size_t colors = 0;
  for (auto _ : state) {
    auto indexed = qorva::QuantizeToIndexed(photo);
    colors = indexed->palette().size();
    benchmark::DoNotOptimize(indexed);
  }
  state.counters["colors"] = static_cast<double>(colors);
}
BENCHMARK(BM_QuantizeToIndexed)->Unit(benchmark::kMillisecond);

void BM_LiteralQuantize(benchmark::State& state) {
  const Bitmap& photo = Photo();
  for (auto _ : state) {
    auto indexed = qorva::literal::Quantize(photo);
    benchmark::DoNotOptimize(indexed);
  }
}
BENCHMARK(BM_LiteralQuantize)->Unit(benchmark::kMillisecond)->Iterations(1);

// Noise keeps the reducible list long, which is where a walk of it costs most.
const Bitmap& Noise() {
  static const Bitmap noise = qorva::test_images::Random(640, 480, 7);
  return noise;
}

void BM_QuantizeNoise640x480(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(qorva::QuantizeToIndexed(Noise()));
}
BENCHMARK(BM_QuantizeNoise640x480)->Unit(benchmark::kMillisecond);

void BM_LiteralNoise640x480(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(qorva::literal::Quantize(Noise()));
}
BENCHMARK(BM_LiteralNoise640x480)->Unit(benchmark::kMillisecond)->Iterations(1);

void RunConvert(benchmark::State& state, const std::string& options) {
  const std::string command = "convert " + PhotoFile() + " " + options + " null: 2>/dev/null";
  if (std::system("command -v convert >/dev/null 2>&1") != 0) {
    state.SkipWithError("ImageMagick's convert is not installed");
    return;
  }
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("convert failed");
  }
}

void BM_ImageMagickColors256(benchmark::State& state) { RunConvert(state, "-colors 256"); }
BENCHMARK(BM_ImageMagickColors256)->Unit(benchmark::kMillisecond);

// The same without dithering, which -colors applies by default.
void BM_ImageMagickColors256NoDither(benchmark::State& state) {
  RunConvert(state, "+dither -colors 256");
}
BENCHMARK(BM_ImageMagickColors256NoDither)->Unit(benchmark::kMillisecond);

void BM_ImageMagickReadOnly(benchmark::State& state) { RunConvert(state, ""); }
BENCHMARK(BM_ImageMagickReadOnly)->Unit(benchmark::kMillisecond);

void BM_JpegEncodeQuality90(benchmark::State& state) {
  const Bitmap& photo = Photo();
  auto codec = qorva::CreateNativeImageCodec();
  const qorva::Guid jpeg = *qorva::FindEncoder(*codec, u"image/jpeg");
  size_t bytes = 0;
  for (auto _ : state) {
    auto encoded = codec->Encode(photo, jpeg, {90});
    bytes = encoded.bytes.size();
    benchmark::DoNotOptimize(encoded);
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_JpegEncodeQuality90)->Unit(benchmark::kMillisecond);

}  // namespace
