// PX4 and PX5 decoding of a 1920 x 1080 picture beside memcpy of the
// bytes they produce. The gradient is stored as tiles throughout; the
// patchwork has a third of its cells empty and a third solid.
#include "bench/bench_support.h"
#include "plugin/formats/spi_px4.h"
#include "plugin/formats/spi_px5.h"
#include "tests/fixtures/px_tiles_writer.h"

namespace {

constexpr int kTileSize = 32;

Picture Gradient(int height) { return GradientPicture(kBenchWidth, height, 4); }
Picture Patchwork(int height) { return PatchworkPicture(kBenchWidth, height, kTileSize, 1); }

template <Picture (*Make)(int)>
void BM_Px4Decode(benchmark::State& state) {
  static const Bytes file = WritePx4(Px4FromPicture(Make(kBenchHeight), kTileSize));
  DecodeBenchmark<SpiPX4>(state, file);
}

// Two frames of half the height, stacked into a picture of the same size.
template <Picture (*Make)(int)>
void BM_Px5Decode(benchmark::State& state) {
  static const Bytes file = [] {
    const Picture half = Make(kBenchHeight / 2);
    return WritePx5(Px5FromFrames({half, half}, kTileSize));
  }();
  DecodeBenchmark<SpiPX5>(state, file);
}

void BM_PxTilesMemcpy(benchmark::State& state) { MemcpyBaseline(state, size_t{kBenchWidth} * kBenchHeight * 4); }

BENCHMARK(BM_Px4Decode<Gradient>)->Name("BM_Px4DecodeGradient")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Px4Decode<Patchwork>)->Name("BM_Px4DecodePatchwork")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Px5Decode<Gradient>)->Name("BM_Px5DecodeGradient")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Px5Decode<Patchwork>)->Name("BM_Px5DecodePatchwork")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PxTilesMemcpy)->Unit(benchmark::kMillisecond);

}  // namespace
