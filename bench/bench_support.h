// Helpers of the benchmarks: every decoder figure is printed beside a
// memcpy of the same number of bytes, measured in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <cstring>

#include "platform/platform.h"
#include "plugin/framework/spi_base.h"
#include "tests/fixtures/picture.h"

constexpr int kBenchWidth = 1920;
constexpr int kBenchHeight = 1080;

inline void MemcpyBaseline(benchmark::State& state, size_t bytes) {
  Bytes from(bytes, 0x5A), to(bytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

// Decodes `file` with a decoder of class D; throughput in output bytes.
template <class D>
void DecodeBenchmark(benchmark::State& state, const Bytes& file) {
  D decoder;
  size_t produced = 0;
  for (auto _ : state) {
    SpiHandle info = nullptr, bits = nullptr;
    if (decoder.Decode(ByteSpan{file.data(), file.size()}, DecodeTarget{&info, &bits}, Progress(nullptr, 0)) !=
        SpiResult::Ok) {
      state.SkipWithError("decode failed");
      return;
    }
    produced = platform::MovableSize(bits);
    platform::FreeMovable(info);
    platform::FreeMovable(bits);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(produced));
}
