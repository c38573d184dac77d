// The MIME codecs and the two MIME methods, measured side by side with GMime's codecs
// on the same data in one run. Built only where GMime is installed:
//   build/native/bench/mime_vs_gmime --benchmark_counters_tabular=true
// The message benchmarks report the peak resident memory a call adds (peak_MB) and
// that peak over the message size (peak_ratio).
#include <benchmark/benchmark.h>
#include <gmime/gmime.h>
#include <malloc.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "fresh_memory.h"
#include "mime/mime_codecs.h"
#include "mime/mime_decode.h"
#include "mime/mime_encode.h"
#include "platform/native_clock.h"
#include "posix/posix_content_types.h"
#include "posix/posix_system.h"
#include "support/encoding.h"

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
std::function<void()> Ours(CMimeCodeBase& codec, const std::string& input, CodecDirection direction,
                           std::string& out) {
  codec.SetInput(input, direction);
  bool encoding = direction == CodecDirection::kEncode;
  out.assign(encoding ? codec.EncodedSize() : codec.DecodedSize(), '\0');
  return [&codec, &out, encoding] {
    size_t n = encoding ? codec.EncodeInto(out.data(), out.size())
                        : codec.DecodeInto(out.data(), out.size());
    benchmark::DoNotOptimize(n);
  };
}

using GMimeStep = size_t (*)(const unsigned char*, size_t, unsigned char*, int*, guint32*);

std::function<void()> Theirs(GMimeStep step, int initialState, const std::string& input,
                             size_t outSize, std::string& out) {
  out.assign(outSize, '\0');
  return [step, initialState, &input, &out] {
    int codecState = initialState;
    guint32 save = 0;
    size_t n = step(reinterpret_cast<const unsigned char*>(input.data()), input.size(),
                    reinterpret_cast<unsigned char*>(out.data()), &codecState, &save);
    benchmark::DoNotOptimize(n);
  };
}

double SecondsOf(const std::function<void()>& run) {
  auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The two implementations run in turn and each keeps its fastest time, so that the ratio
// holds while the speed of a shared machine drifts during the run.
void SideBySide(benchmark::State& state, size_t inputBytes, const std::function<void()>& ours,
                const std::function<void()>& theirs) {
  double bestOurs = HUGE_VAL;
  double bestTheirs = HUGE_VAL;
  for (auto _ : state) {
    bestOurs = std::min(bestOurs, SecondsOf(ours));
    bestTheirs = std::min(bestTheirs, SecondsOf(theirs));
  }
  state.counters["qorva_MBps"] = static_cast<double>(inputBytes) / bestOurs / 1e6;
  state.counters["gmime_MBps"] = static_cast<double>(inputBytes) / bestTheirs / 1e6;
  state.counters["qorva_vs_gmime"] = bestTheirs / bestOurs;
}

void BM_Base64Encode(benchmark::State& state) {
  CMimeCodeBase64 codec;
  std::string ourOut, theirOut;
  SideBySide(state, Binary().size(), Ours(codec, Binary(), CodecDirection::kEncode, ourOut),
             Theirs(g_mime_encoding_base64_encode_close, 0, Binary(),
                    GMIME_BASE64_ENCODE_LEN(Binary().size()), theirOut));
}

void BM_Base64Decode(benchmark::State& state) {
  CMimeCodeBase64 encoder;
  const std::string encoded = Encode(encoder, Binary());
  CMimeCodeBase64 codec;
  std::string ourOut, theirOut;
  SideBySide(state, encoded.size(), Ours(codec, encoded, CodecDirection::kDecode, ourOut),
             Theirs(g_mime_encoding_base64_decode_step, 0, encoded, encoded.size(), theirOut));
}

void BM_QpEncode(benchmark::State& state) {
  CMimeCodeQP codec;
  std::string ourOut, theirOut;
  SideBySide(state, TextData().size(), Ours(codec, TextData(), CodecDirection::kEncode, ourOut),
             Theirs(g_mime_encoding_quoted_encode_close, -1, TextData(),
                    GMIME_QP_ENCODE_LEN(TextData().size()), theirOut));
}

void BM_QpDecode(benchmark::State& state) {
  CMimeCodeQP encoder;
  const std::string encoded = Encode(encoder, TextData());
  CMimeCodeQP codec;
  std::string ourOut, theirOut;
  SideBySide(state, encoded.size(), Ours(codec, encoded, CodecDirection::kDecode, ourOut),
             Theirs(g_mime_encoding_quoted_decode_step, 0, encoded, encoded.size(), theirOut));
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
    MimeEncodeContext context{system, *clock, types, {}, 1, 0, 3, {}, {}, false, {}};
    std::vector<Text> images = ThePage().images;
    std::vector<Text> files;
    Text charset = u"euc-kr";
    return QorvaEncodeMime(context, charset, {images, files}, ThePage().html, 0);
  }
};

constexpr int kFloorRounds = 5;

// A floor's rate: the fastest of kFloorRounds rounds of `run`, given the round's number, in
// message bytes per second.
double FastestRoundRate(size_t messageBytes, const std::function<void(int)>& run) {
  double best = HUGE_VAL;
  for (int round = 0; round < kFloorRounds; ++round) {
    best = std::min(best, SecondsOf([&] { run(round); }));
  }
  return static_cast<double>(messageBytes) / best;
}

// A floor under a method: `bytes` that it must write, written once into memory that the
// allocator takes fresh from the kernel.
double FreshMemoryRate(size_t messageBytes, size_t bytes) {
  return FastestRoundRate(messageBytes, [bytes](int) { WriteFreshMemory(bytes); });
}

// The decoder's other floor: what it saves, the page and its images, written once into
// new files. Every call writes new ones and keeps them, so each round keeps its files
// too, until all rounds are done.
double NewFilesRate(size_t messageBytes) {
  const std::string image(kImageBytes, 'x');
  const std::string html = ToUtf8(ThePage().html);
  const fs::path root = ThePage().root / "files_floor";
  std::vector<fs::path> folders;
  for (int round = 0; round < kFloorRounds; ++round) {
    folders.push_back(root / std::to_string(round));
    fs::create_directories(folders.back());
  }
  double rate = FastestRoundRate(messageBytes, [&](int round) {
    const fs::path& folder = folders[static_cast<size_t>(round)];
    std::ofstream(folder / "page.html", std::ios::binary) << html;
    for (int i = 0; i < kImages; ++i) {
      std::ofstream(folder / ("image" + std::to_string(i) + ".jpg"), std::ios::binary) << image;
    }
  });
  std::error_code error;
  fs::remove_all(root, error);
  return rate;
}

void BM_QorvaEncodeMime_20MB(benchmark::State& state) {
  Encoding encoding;
  size_t messageBytes = encoding.Run().size();
  double peak = PeakAddedBytes([&] { benchmark::DoNotOptimize(encoding.Run()); });
  for (auto _ : state) benchmark::DoNotOptimize(encoding.Run());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * messageBytes));
  // The result is the message text.
  state.counters["fresh_floor_MBps"] =
      FreshMemoryRate(messageBytes, messageBytes * sizeof(Text::value_type)) / 1e6;
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
  // The parser reads the message as bytes, one per character.
  state.counters["fresh_floor_MBps"] = FreshMemoryRate(message.size(), message.size()) / 1e6;
  state.counters["files_floor_MBps"] = NewFilesRate(message.size()) / 1e6;
  state.counters["message_MB"] = static_cast<double>(message.size()) / 1e6;
  state.counters["peak_MB"] = peak / 1e6;
  state.counters["peak_ratio"] = peak / static_cast<double>(message.size());
}

BENCHMARK(BM_Base64Encode)->Iterations(40);
BENCHMARK(BM_Base64Decode)->Iterations(40);
BENCHMARK(BM_QpEncode)->Iterations(20);
BENCHMARK(BM_QpDecode)->Iterations(20);
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
