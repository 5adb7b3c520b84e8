// LFB, LFF, LCF and LGF decoding on a 1920 x 1080 picture, each beside a
// memcpy of its output and, for the packed formats, the bare expansion of
// the same stream (the floor a decoder that expands cannot pass).
#include "bench/bench_support.h"
#include "plugin/formats/spi_lcf.h"
#include "plugin/formats/spi_lfb.h"
#include "plugin/formats/spi_lff.h"
#include "plugin/formats/spi_lgf.h"
#include "plugin/framework/lzss.h"
#include "tests/fixtures/lf_writer.h"

namespace {

struct Packed {
  Bytes file;
  size_t streamOffset;
  size_t unpackedSize;
};

const Picture& Picture24() {
  static const Picture picture = GradientPicture(kBenchWidth, kBenchHeight, 3);
  return picture;
}

const Packed& LfbFile() {
  static const Bytes bitmap = WriteBitmapFile(BitmapOf(Picture24()));
  static const Packed packed{WriteLfb(bitmap), 8, bitmap.size()};
  return packed;
}

const Packed& LffFile() {
  static const Packed packed{WriteLff(Picture24()), 20, ExpectedBits(Picture24()).size()};
  return packed;
}

const Packed& LcfFile32() {
  static const Picture picture = GradientPicture(kBenchWidth, kBenchHeight, 4);
  static const Packed packed{WriteLcf(LcfFile{picture}), 24, LcfRecords(picture).size()};
  return packed;
}

const Bytes& LgfFile24() {
  static const Bytes file = WriteLgf(LgfFile{Picture24()});
  return file;
}

void ExpandFloor(benchmark::State& state, const Packed& packed) {
  const ByteSpan stream{packed.file.data() + packed.streamOffset, packed.file.size() - packed.streamOffset};
  Bytes out(packed.unpackedSize);
  for (auto _ : state) benchmark::DoNotOptimize(ExpandLzssInverted(out.data(), stream, out.size()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out.size()));
}

const size_t kBits24 = size_t{kBenchWidth} * 3 * kBenchHeight;
const size_t kBits32 = size_t{kBenchWidth} * 4 * kBenchHeight;

void BM_LffDecode(benchmark::State& state) { DecodeBenchmark<SpiLff>(state, LffFile().file); }
void BM_LffExpandFloor(benchmark::State& state) { ExpandFloor(state, LffFile()); }
void BM_LffMemcpy(benchmark::State& state) { MemcpyBaseline(state, kBits24); }
void BM_LfbDecode24(benchmark::State& state) { DecodeBenchmark<SpiLfb>(state, LfbFile().file); }
void BM_LfbExpandFloor(benchmark::State& state) { ExpandFloor(state, LfbFile()); }
void BM_LcfDecode(benchmark::State& state) { DecodeBenchmark<SpiLcf>(state, LcfFile32().file); }
void BM_LcfExpandFloor(benchmark::State& state) { ExpandFloor(state, LcfFile32()); }
void BM_LcfMemcpy(benchmark::State& state) { MemcpyBaseline(state, kBits32); }
void BM_LgfDecode24(benchmark::State& state) { DecodeBenchmark<SpiLgf>(state, LgfFile24()); }
void BM_LgfMemcpy(benchmark::State& state) { MemcpyBaseline(state, kBits24); }

BENCHMARK(BM_LffDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LffExpandFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LffMemcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LfbDecode24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LfbExpandFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LcfDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LcfExpandFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LcfMemcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LgfDecode24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LgfMemcpy)->Unit(benchmark::kMillisecond);

}  // namespace
