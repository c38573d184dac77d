// The floor the benchmarks print beside a method that must write a large result: that
// many bytes written once into memory the allocator takes fresh from the kernel.
#pragma once

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

namespace qorva {

inline void WriteFreshMemory(size_t bytes) {
  std::unique_ptr<char[]> block(new char[bytes]);
  std::memset(block.get(), ' ', bytes);
  benchmark::DoNotOptimize(block.get());
  benchmark::ClobberMemory();
}

}  // namespace qorva
