// TGA decoding and the two LZSS expanders on a 1920 x 1080 picture.
#include "bench/bench_support.h"
#include "plugin/formats/spi_tga.h"
#include "plugin/framework/lzss.h"
#include "tests/fixtures/lzss_writer.h"
#include "tests/fixtures/tga_writer.h"

namespace {

const Bytes& TgaFile32() {
  static const Bytes file = WriteTga(TgaFile{GradientPicture(kBenchWidth, kBenchHeight, 4)});
  return file;
}

const Bytes& Unpacked() {
  static const Bytes bits = ExpectedBits(GradientPicture(kBenchWidth, kBenchHeight, 3));
  return bits;
}

template <size_t (*Expander)(uint8_t*, ByteSpan, size_t), bool kInverted>
void BM_Expand(benchmark::State& state) {
  static const Bytes stream = CompressLzss(Unpacked(), kInverted);
  Bytes out(Unpacked().size());
  for (auto _ : state) {
    benchmark::DoNotOptimize(Expander(out.data(), ByteSpan{stream.data(), stream.size()}, out.size()));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out.size()));
}

void BM_TgaDecode32(benchmark::State& state) { DecodeBenchmark<SpiTga>(state, TgaFile32()); }
void BM_TgaMemcpy(benchmark::State& state) { MemcpyBaseline(state, size_t{kBenchWidth} * kBenchHeight * 4); }
void BM_LzssMemcpy(benchmark::State& state) { MemcpyBaseline(state, Unpacked().size()); }

BENCHMARK(BM_TgaDecode32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TgaMemcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Expand<ExpandLzss, false>)->Name("BM_ExpandLzss")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Expand<ExpandLzssInverted, true>)->Name("BM_ExpandLzssInverted")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LzssMemcpy)->Unit(benchmark::kMillisecond);

}  // namespace
