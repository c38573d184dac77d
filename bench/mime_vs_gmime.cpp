// The MIME codecs and the two MIME methods, measured side by side with GMime's codecs
// on the same data in one run. Built only where GMime is installed:
//   build/native/bench/mime_vs_gmime --benchmark_counters_tabular=true
// The message benchmarks report the peak resident memory a call adds (peak_MB) and
// that peak over the message size (peak_ratio).
#include <benchmark/benchmark.h>
#include <gmime/gmime.h>
#include <malloc.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "mime/mime_codecs.h"
#include "mime/mime_decode.h"
#include "mime/mime_encode.h"
#include "platform/native_clock.h"
#include "posix/posix_content_types.h"
#include "posix/posix_system.h"

namespace {

using namespace qorva;
namespace fs = std::filesystem;

constexpr size_t kCodecBytes = 8 << 20;
constexpr int kImages = 20;
constexpr size_t kImageBytes = 1 << 20;

std::string RandomBytes(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

// HTML-like text: ASCII words, Korean UTF-8, markup with "=" and line breaks.
std::string TextLikeBytes(size_t size) {
  const std::string pieces[] = {"<p class=\"x\">", "word ", "\xED\x95\x9C\xEA\xB8\x80 ",
                                "tail.",           "\r\n",  "a=b ",
                                "longerword ",     "\t"};
  std::mt19937 random(7);
  std::string text;
  while (text.size() < size) text += pieces[random() % 8];
  text.resize(size);
  return text;
}

const std::string& Binary() {
  static const std::string bytes = RandomBytes(kCodecBytes, 1);
  return bytes;
}
const std::string& TextData() {
  static const std::string bytes = TextLikeBytes(kCodecBytes);
  return bytes;
}

std::string Encode(CMimeCodeBase& codec, const std::string& input) {
  codec.SetInput(input, CodecDirection::kEncode);
  return RunCodec(codec);
}

// Each codec writes into a buffer allocated once, as the message serialiser does.
void RunInto(benchmark::State& state, CMimeCodeBase& codec, const std::string& input,
             CodecDirection direction) {
  codec.SetInput(input, direction);
  bool encoding = direction == CodecDirection::kEncode;
  std::string out(encoding ? codec.EncodedSize() : codec.DecodedSize(), '\0');
  for (auto _ : state) {
    size_t n = encoding ? codec.EncodeInto(out.data(), out.size())
                        : codec.DecodeInto(out.data(), out.size());
    benchmark::DoNotOptimize(n);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * input.size()));
}

void BM_Base64Encode_Qorva(benchmark::State& state) {
  CMimeCodeBase64 codec;
  RunInto(state, codec, Binary(), CodecDirection::kEncode);
}
void BM_Base64Encode_GMime(benchmark::State& state) {
  std::string out(GMIME_BASE64_ENCODE_LEN(Binary().size()), '\0');
  for (auto _ : state) {
    int codecState = 0;
    guint32 save = 0;
    size_t n = g_mime_encoding_base64_encode_close(
        reinterpret_cast<const unsigned char*>(Binary().data()), Binary().size(),
        reinterpret_cast<unsigned char*>(out.data()), &codecState, &save);
    benchmark::DoNotOptimize(n);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Binary().size()));
}

void BM_Base64Decode_Qorva(benchmark::State& state) {
  CMimeCodeBase64 encoder;
  std::string encoded = Encode(encoder, Binary());
  CMimeCodeBase64 codec;
  RunInto(state, codec, encoded, CodecDirection::kDecode);
}

void BM_Base64Decode_GMime(benchmark::State& state) {
  CMimeCodeBase64 encoder;
  std::string encoded = Encode(encoder, Binary());
  std::string out(encoded.size(), '\0');
  for (auto _ : state) {
    int codecState = 0;
    guint32 save = 0;
    size_t n = g_mime_encoding_base64_decode_step(
        reinterpret_cast<const unsigned char*>(encoded.data()), encoded.size(),
        reinterpret_cast<unsigned char*>(out.data()), &codecState, &save);
    benchmark::DoNotOptimize(n);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * encoded.size()));
}

void BM_QpEncode_Qorva(benchmark::State& state) {
  CMimeCodeQP codec;
  RunInto(state, codec, TextData(), CodecDirection::kEncode);
}

void BM_QpEncode_GMime(benchmark::State& state) {
  std::string out(GMIME_QP_ENCODE_LEN(TextData().size()), '\0');
  for (auto _ : state) {
    int codecState = -1;
    guint32 save = 0;
    size_t n = g_mime_encoding_quoted_encode_close(
        reinterpret_cast<const unsigned char*>(TextData().data()), TextData().size(),
        reinterpret_cast<unsigned char*>(out.data()), &codecState, &save);
    benchmark::DoNotOptimize(n);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * TextData().size()));
}

void BM_QpDecode_Qorva(benchmark::State& state) {
  CMimeCodeQP encoder;
  std::string encoded = Encode(encoder, TextData());
  CMimeCodeQP codec;
  RunInto(state, codec, encoded, CodecDirection::kDecode);
}

void BM_QpDecode_GMime(benchmark::State& state) {
  CMimeCodeQP encoder;
  std::string encoded = Encode(encoder, TextData());
  std::string out(encoded.size(), '\0');
  for (auto _ : state) {
    int codecState = 0;
    guint32 save = 0;
    size_t n = g_mime_encoding_quoted_decode_step(
        reinterpret_cast<const unsigned char*>(encoded.data()), encoded.size(),
        reinterpret_cast<unsigned char*>(out.data()), &codecState, &save);
    benchmark::DoNotOptimize(n);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * encoded.size()));
}

// --- the page with 20 MB of images

long StatusKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size()));
  }
  return 0;
}

// The resident memory that `run` adds at its peak, in bytes.
double PeakAddedBytes(const std::function<void()>& run) {
  std::ofstream("/proc/self/clear_refs") << "5";  // restarts the high-water mark
  long before = StatusKilobytes("VmRSS:");
  run();
  long peak = StatusKilobytes("VmHWM:");
  return static_cast<double>(peak - before) * 1024.0;
}

struct Page {
  fs::path root;
  std::vector<Text> images;
  Text html;
};

const Page& ThePage() {
  static const Page page = [] {
    Page p;
    p.root = fs::temp_directory_path() / "mime_vs_gmime";
    fs::create_directories(p.root / "images");
    setenv("TMPDIR", p.root.c_str(), 1);
    std::string html = "<html><body>";
    for (int i = 0; i < kImages; ++i) {
      fs::path file = p.root / "images" / ("image" + std::to_string(i) + ".jpg");
      std::ofstream(file, std::ios::binary) << RandomBytes(kImageBytes, 100 + i);
      html += "<img src=\"file:///" + file.string() + "\">";
      p.images.push_back(Text(file.u16string()));
    }
    p.html = Text(fs::path(html + "</body></html>").u16string());
    return p;
  }();
  return page;
}

struct Encoding {
  PosixSystem system;
  std::unique_ptr<Clock> clock = CreateNativeClock();
  MimeTypesFile types{"/etc/mime.types"};

  Text Run() {
    MimeEncodeContext context{system, *clock, types, {}, 1, 0, 3, {}, {}, false};
    std::vector<Text> images = ThePage().images;
    std::vector<Text> files;
    Text charset = u"euc-kr";
    return QorvaEncodeMime(context, charset, {images, files}, ThePage().html, 0);
  }
};

void BM_QorvaEncodeMime_20MB(benchmark::State& state) {
  Encoding encoding;
  size_t messageBytes = encoding.Run().size();
  double peak = PeakAddedBytes([&] { benchmark::DoNotOptimize(encoding.Run()); });
  for (auto _ : state) benchmark::DoNotOptimize(encoding.Run());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * messageBytes));
  state.counters["message_MB"] = static_cast<double>(messageBytes) / 1e6;
  state.counters["peak_MB"] = peak / 1e6;
  state.counters["peak_ratio"] = peak / static_cast<double>(messageBytes);
}

void BM_QorvaDecodeMime_20MB(benchmark::State& state) {
  Encoding encoding;
  Text message = encoding.Run();
  PosixSystem system;
  double peak = PeakAddedBytes([&] { benchmark::DoNotOptimize(QorvaDecodeMime(system, message)); });
  for (auto _ : state) benchmark::DoNotOptimize(QorvaDecodeMime(system, message));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * message.size()));
  state.counters["message_MB"] = static_cast<double>(message.size()) / 1e6;
  state.counters["peak_MB"] = peak / 1e6;
  state.counters["peak_ratio"] = peak / static_cast<double>(message.size());
}

BENCHMARK(BM_Base64Encode_Qorva)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Base64Encode_GMime)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Base64Decode_Qorva)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Base64Decode_GMime)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QpEncode_Qorva)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QpEncode_GMime)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QpDecode_Qorva)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QpDecode_GMime)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QorvaEncodeMime_20MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QorvaDecodeMime_20MB)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // Large blocks always come from their own mappings and go back when freed, so that the
  // resident high-water mark measures what a call holds at once.
  mallopt(M_MMAP_THRESHOLD, 64 * 1024);
  g_mime_init();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code error;
  fs::remove_all(fs::temp_directory_path() / "mime_vs_gmime", error);
  return 0;
}
