// The photo editor's canvas operations on a 1920 by 1080 photo-like picture, each as the
// toolbar applies it; the picture is also written as a PPM file (its path printed in the
// context) for the Pillow side. bench/photo_canvas.py runs this with repetitions, times
// Pillow's equivalents in the same run and prints both with their ratios.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "graphics/bitmap_filters.h"
#include "graphics/test_images.h"
#include "images/qorva_view.h"
#include "platform/memory/memory_platform.h"
#include "support/encoding.h"
#include "support/image_files.h"

namespace {

using qorva::Bitmap;

const Bitmap& Photo() {
  static const Bitmap photo = qorva::test_images::PhotoLike(1920, 1080, 2024);
  return photo;
}

std::filesystem::path Folder() {
  static const std::filesystem::path folder = [] {
    std::filesystem::path path = std::filesystem::temp_directory_path() / "qorva-bench-canvas";
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

// The photo as a binary PPM for Pillow and as a PNG for the canvas to load, written once.
const std::string& PhotoFiles() {
  static const std::string ppm = [] {
    std::string file = (Folder() / "photo.ppm").string();
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
  return ppm;
}

struct Canvas {
  Canvas() {
    Bitmap copy = Photo();
    const qorva::Text png = qorva::FromUtf8((Folder() / "photo.png").string());
    qorva::SaveImageFile(platform.codec(), u"png", png, qorva::kRotateNoneFlipX, copy, 100);
    view.LoadImageFile(png);
  }
  qorva::MemoryPlatform platform;
  qorva::CQorvaView view{platform.codec(), platform.system};
};

Canvas& SharedCanvas() {
  static Canvas canvas;
  return canvas;
}

template <void (qorva::CQorvaView::*Operation)()>
void BM_Canvas(benchmark::State& state) {
  qorva::CQorvaView& view = SharedCanvas().view;
  for (auto _ : state) {
    (view.*Operation)();
    benchmark::DoNotOptimize(view.image());
  }
  state.SetLabel(PhotoFiles());
}
BENCHMARK(BM_Canvas<&qorva::CQorvaView::RotateRight>)
    ->Name("RotateRight")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Canvas<&qorva::CQorvaView::MirrorLeftRight>)
    ->Name("MirrorLeftRight")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Canvas<&qorva::CQorvaView::MirrorUpDown>)
    ->Name("MirrorUpDown")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Canvas<&qorva::CQorvaView::ApplyGray>)
    ->Name("ApplyGray")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Canvas<&qorva::CQorvaView::ApplyInvert>)
    ->Name("ApplyInvert")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Canvas<&qorva::CQorvaView::ApplySepia>)
    ->Name("ApplySepia")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Canvas<&qorva::CQorvaView::Brighten>)->Name("Brighten")->Unit(benchmark::kMillisecond);

// What ResizeImage does, from the same picture each time.
void BM_ResizeToHalf(benchmark::State& state) {
  const Bitmap& photo = Photo();
  for (auto _ : state) {
    auto half = qorva::ResizedOntoWhite(photo, photo.width() / 2, photo.height() / 2);
    benchmark::DoNotOptimize(half);
  }
}
BENCHMARK(BM_ResizeToHalf)->Name("ResizeToHalf")->Unit(benchmark::kMillisecond);

// Flattening onto white, encoding at quality 100 and writing the file, of the photo as
// loaded (the shared canvas has been brightened to white by then).
void BM_ExportJpeg(benchmark::State& state) {
  static Canvas canvas;
  qorva::CQorvaView& view = canvas.view;
  for (auto _ : state) {
    qorva::Text path = view.ExportJpeg();
    state.PauseTiming();
    std::error_code error;
    std::filesystem::remove(qorva::ToUtf8(path), error);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ExportJpeg)->Name("ExportJpeg")->Unit(benchmark::kMillisecond);

}  // namespace
