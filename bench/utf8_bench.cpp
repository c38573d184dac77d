// UTF-8 to UTF-16 and back on mostly-ASCII HTML (a generated spreadsheet paste, which
// carries Korean text in its cells), measured side by side with glibc's iconv on the
// same data in one run. Each pair runs in turns and keeps its fastest time, so that the
// ratio holds while a shared machine's speed drifts.
//   build/release/bench/utf8_bench --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <string>

#include "paste/samples/paste_samples.h"
#include "support/encoding.h"

namespace {

using namespace qorva;

const std::string& Utf8Html() {
  static const std::string bytes =
      ToUtf8(samples::ExcelDocumentOfSize(size_t{10} * 1000 * 1000, 7));
  return bytes;
}

const Text& Utf16Html() {
  static const Text text = FromUtf8(Utf8Html());
  return text;
}

// One whole conversion through iconv into a buffer of the worst-case size.
size_t Iconv(iconv_t cd, const char* in, size_t inBytes, std::string& out) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* input = const_cast<char*>(in);
  char* output = out.data();
  size_t outLeft = out.size();
  iconv(cd, &input, &inBytes, &output, &outLeft);
  return out.size() - outLeft;
}

double SecondsOf(const std::function<void()>& run) {
  auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void SideBySide(benchmark::State& state, const std::function<void()>& ours,
                const std::function<void()>& theirs) {
  double bestOurs = HUGE_VAL;
  double bestTheirs = HUGE_VAL;
  for (auto _ : state) {
    bestOurs = std::min(bestOurs, SecondsOf(ours));
    bestTheirs = std::min(bestTheirs, SecondsOf(theirs));
  }
  // Rates are per byte of UTF-8, the document's size on the clipboard and on disk.
  const double bytes = static_cast<double>(Utf8Html().size());
  state.counters["MB"] = bytes / 1e6;
  state.counters["qorva_MBps"] = bytes / bestOurs / 1e6;
  state.counters["iconv_MBps"] = bytes / bestTheirs / 1e6;
  state.counters["qorva_vs_iconv"] = bestTheirs / bestOurs;
}

void BM_Utf8ToUtf16(benchmark::State& state) {
  iconv_t cd = iconv_open("UTF-16LE", "UTF-8");
  std::string out(Utf8Html().size() * 2, '\0');
  SideBySide(
      state, [] { benchmark::DoNotOptimize(FromUtf8(Utf8Html())); },
      [&] { benchmark::DoNotOptimize(Iconv(cd, Utf8Html().data(), Utf8Html().size(), out)); });
  iconv_close(cd);
}

void BM_Utf16ToUtf8(benchmark::State& state) {
  iconv_t cd = iconv_open("UTF-8", "UTF-16LE");
  std::string out(Utf16Html().size() * 3, '\0');
  SideBySide(
      state, [] { benchmark::DoNotOptimize(ToUtf8(Utf16Html())); },
      [&] {
        benchmark::DoNotOptimize(Iconv(cd, reinterpret_cast<const char*>(Utf16Html().data()),
                                       Utf16Html().size() * 2, out));
      });
  iconv_close(cd);
}

BENCHMARK(BM_Utf8ToUtf16)->Iterations(15);
BENCHMARK(BM_Utf16ToUtf8)->Iterations(15);

}  // namespace
