// Paste clean-up throughput, production passes against the literal ones: generated
// spreadsheet pastes of 1, 10 and 50 MB, a word-processor paste of 5,000 paragraphs
// with 200 pictures, and the shared corpus of real word-processor documents. The
// s_per_MB counter is the time per megabyte of UTF-8 input. The literal version runs at
// the smallest sizes only.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>

#include "fresh_memory.h"
#include "paste/oracle/literal_paste.h"
#include "paste/paste_cleanup.h"
#include "paste/samples/paste_samples.h"
#include "platform/memory/memory_system.h"
#include "support/encoding.h"

namespace qorva {
namespace {

struct Document {
  std::vector<Text> pastes;
  double megabytes = 0;
};

const Document& Excel(size_t megabytes) {
  static std::map<size_t, Document> cache;
  Document& doc = cache[megabytes];
  if (doc.pastes.empty()) {
    doc.pastes.push_back(samples::ExcelDocumentOfSize(megabytes * 1000 * 1000, 7));
    doc.megabytes = ToUtf8(doc.pastes[0]).size() / 1e6;
  }
  return doc;
}

const Document& Word() {
  static Document doc;
  if (doc.pastes.empty()) {
    doc.pastes.push_back(samples::WordDocument(5000, 200, 7));
    doc.megabytes = ToUtf8(doc.pastes[0]).size() / 1e6;
  }
  return doc;
}

const Document& Corpus() {
  static Document doc;
  if (doc.pastes.empty()) {
    auto folder = std::filesystem::path(QORVA_SOURCE_DIR) / ".." / "shared" / "corpus" / "word";
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
      files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
      std::ifstream in(file, std::ios::binary);
      std::string bytes(std::istreambuf_iterator<char>(in), {});
      doc.megabytes += bytes.size() / 1e6;
      doc.pastes.push_back(FromUtf8(bytes));
    }
  }
  return doc;
}

enum class Version { kProduction, kLiteral };

void Clean(benchmark::State& state, const Document& doc, Version version) {
  if (doc.pastes.empty()) {
    state.SkipWithError("no documents");
    return;
  }
  MemorySystem system;
  system.fixedGuid = Guid{};  // every paste writes the same names
  COfficeStyleMap map;
  std::vector<Text> tags;
  PasteContext context{map, tags, 1, system};
  size_t outputUnits = 0;
  for (auto _ : state) {
    for (const Text& paste : doc.pastes) {
      state.PauseTiming();
      Text html = paste;
      state.ResumeTiming();
      if (version == Version::kProduction) {
        CleanPastedHtml(html, context);
      } else {
        oracle::CleanPastedHtml(html, context);
      }
      outputUnits = html.size();
      benchmark::DoNotOptimize(html.data());
    }
  }
  state.counters["MB"] = doc.megabytes;
  state.counters["s_per_MB"] = benchmark::Counter(
      doc.megabytes, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["out_units"] = static_cast<double>(outputUnits);
}

// The floor under the 10 MB clean-up: its result's bytes written once into memory that
// the allocator takes fresh from the kernel, as it does for the result itself.
void FreshMemory(benchmark::State& state) {
  MemorySystem system;
  COfficeStyleMap map;
  std::vector<Text> tags;
  PasteContext context{map, tags, 1, system};
  Text html = Excel(10).pastes[0];
  CleanPastedHtml(html, context);
  const size_t bytes = html.size() * sizeof(Text::value_type);
  html = Text();
  for (auto _ : state) WriteFreshMemory(bytes);
  state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}

void ExcelProduction(benchmark::State& state) {
  Clean(state, Excel(static_cast<size_t>(state.range(0))), Version::kProduction);
}
void ExcelLiteral(benchmark::State& state) {
  Clean(state, Excel(static_cast<size_t>(state.range(0))), Version::kLiteral);
}
void WordProduction(benchmark::State& state) { Clean(state, Word(), Version::kProduction); }
void WordLiteral(benchmark::State& state) { Clean(state, Word(), Version::kLiteral); }
void CorpusProduction(benchmark::State& state) { Clean(state, Corpus(), Version::kProduction); }
void CorpusLiteral(benchmark::State& state) { Clean(state, Corpus(), Version::kLiteral); }

BENCHMARK(ExcelProduction)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(FreshMemory)->Unit(benchmark::kMillisecond)->MinTime(1.0);
// Quadratic: about two minutes at 1 MB here, so 10 MB would take hours; not run beyond.
BENCHMARK(ExcelLiteral)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(WordProduction)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(WordLiteral)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(CorpusProduction)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(CorpusLiteral)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace
}  // namespace qorva
