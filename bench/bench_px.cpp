// PX decoding on a 1920 x 1080 picture: the plain 32-bit layout against
// memcpy of the same bytes, its limit; the run lists of PX2 and PX3 in
// pixels per second, beside the same memcpy.
#include "bench/bench_support.h"
#include "plugin/formats/spi_px.h"
#include "plugin/formats/spi_px2.h"
#include "plugin/formats/spi_px3.h"
#include "tests/fixtures/px_writer.h"

namespace {

constexpr size_t kPixels = size_t{kBenchWidth} * kBenchHeight;

Picture AlphaGradient() { return WithRunListAlpha(GradientPicture(kBenchWidth, kBenchHeight, 4)); }

const Bytes& Plain32() {
  static const Bytes file = WritePx(PxFile{GradientPicture(kBenchWidth, kBenchHeight, 4)});
  return file;
}

// One run a row, as a picture without holes is stored.
const Bytes& RunList() {
  static const Bytes file = WritePx2(Px2File{AlphaGradient(), RunListOptions{0, true, false}});
  return file;
}

// The picture in four quarters, each a 32-bit sub-image.
const Bytes& TrueColourParts() {
  static const Bytes file = [] {
    const Picture whole = AlphaGradient();
    Px3File px3{kBenchWidth, kBenchHeight};
    const int halfWidth = kBenchWidth / 2, halfHeight = kBenchHeight / 2;
    for (int part = 0; part < 4; ++part) {
      const int left = part % 2 * halfWidth, top = part / 2 * halfHeight;
      Picture quarter{halfWidth, halfHeight, 4, {}};
      for (int y = top; y < top + halfHeight; ++y)
        quarter.pixels.insert(quarter.pixels.end(), whole.At(left, y), whole.At(left, y) + 4 * halfWidth);
      px3.subImages.push_back({quarter, left, top, 32});
    }
    return WritePx3(px3);
  }();
  return file;
}

// A sprite of palette indices: opaque inside, soft edges, left out around.
const Bytes& IndexedSprite() {
  static const Bytes file = [] {
    const Picture sprite = WithRunListAlpha(SpritePicture(kBenchWidth, kBenchHeight));
    Px3SubImage s{IndexPicture(kBenchWidth, kBenchHeight, 256, 1), 0, 0, 9, Bytes(kPixels)};
    for (size_t k = 0; k < kPixels; ++k) s.alpha[k] = sprite.pixels[4 * k + 3];
    return WritePx3(Px3File{kBenchWidth, kBenchHeight, 68, TestPalette(1), 256, {s}});
  }();
  return file;
}

template <class Decoder, const Bytes& (*File)()>
void BM_Decode(benchmark::State& state) {
  DecodeBenchmark<Decoder>(state, File());
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kPixels));
}

void BM_PxMemcpy(benchmark::State& state) { MemcpyBaseline(state, kPixels * 4); }

BENCHMARK(BM_Decode<SpiPX, Plain32>)->Name("BM_PxDecode32")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PxMemcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode<SpiPX2, RunList>)->Name("BM_Px2RunList")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode<SpiPX3, TrueColourParts>)->Name("BM_Px3TrueColourParts")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode<SpiPX3, IndexedSprite>)->Name("BM_Px3IndexedSprite")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PxMemcpy)->Name("BM_PxMemcpyAgain")->Unit(benchmark::kMillisecond);

}  // namespace
