// The viewer's per-picture and per-paint pixel work on full-HD pictures,
// each beside a memcpy of the same number of bytes: Compose (the bytes of
// the background), Premultiply (the 32-bit pixels it rewrites), ConvertTo24
// and KeyForeground (the bytes they write).
#include <cstring>

#include "bench/bench_support.h"
#include "viewer/engine/compose.h"
#include "viewer/engine/foreground_pixels.h"
#include "viewer/engine/pixel_convert.h"

namespace {

constexpr int kForegroundWidth = 800;
constexpr int kForegroundHeight = 600;
constexpr size_t kPixels = size_t{kBenchWidth} * kBenchHeight;
constexpr size_t kBytes24 = kPixels * 3;  // 5760-byte rows need no padding
constexpr size_t kBytes32 = kPixels * 4;

Bytes InfoBlock(int bitCount, uint32_t compression = kBiRgb, const Bytes& after = {}, int width = kBenchWidth,
                int height = kBenchHeight) {
  BitmapInfoHeader h = MakeBitmapInfoHeader(width, height, static_cast<uint16_t>(bitCount));
  h.biCompression = compression;
  Bytes info(sizeof h);
  std::memcpy(info.data(), &h, sizeof h);
  Append(info, after);
  return info;
}

// A picture taken in from a plug-in result, with the blocks it points into.
struct Decoded {
  Decoded(Bytes infoBlock, Bytes pixelBlock) : info(std::move(infoBlock)), pixels(std::move(pixelBlock)) {
    ReadPluginPicture(ByteSpan{info.data(), info.size()}, ByteSpan{pixels.data(), pixels.size()}, &picture);
  }
  Bytes info, pixels;
  DibPicture picture;
};

Bytes Masks565() {
  Bytes masks;
  for (uint32_t m : {0xF800u, 0x07E0u, 0x001Fu}) PutLe32(masks, m);
  return masks;
}

const Decoded& Picture32() {
  static const Decoded d(InfoBlock(32), ExpectedBits(GradientPicture(kBenchWidth, kBenchHeight, 4)));
  return d;
}
const Decoded& Picture24() {
  static const Decoded d(InfoBlock(24), ExpectedBits(GradientPicture(kBenchWidth, kBenchHeight, 3)));
  return d;
}
const Decoded& Picture16() {
  static const Decoded d(InfoBlock(16, kBiBitfields, Masks565()),
                         ExpectedBits(NoisePicture(kBenchWidth, kBenchHeight, 2, 5)));
  return d;
}
const Decoded& Picture8() {
  static const Decoded d(InfoBlock(8, kBiRgb, TestPalette(3)),
                         ExpectedBits(IndexPicture(kBenchWidth, kBenchHeight, 256, 4)));
  return d;
}

void ConvertBenchmark(benchmark::State& state, const Decoded& d) {
  Bytes out(kBytes24);
  for (auto _ : state) {
    ConvertTo24(d.picture, out.data());
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kBytes24));
}

void BM_Compose(benchmark::State& state) {
  const Bytes background = ExpectedBits(GradientPicture(kBenchWidth, kBenchHeight, 3));
  const Decoded sprite(InfoBlock(32, kBiRgb, {}, kForegroundWidth, kForegroundHeight),
                       ExpectedBits(SpritePicture(kForegroundWidth, kForegroundHeight)));
  Bytes foreground = sprite.pixels;
  Premultiply(foreground.data(), sprite.picture);
  const Point at = CentreForeground(kBenchWidth, kBenchHeight, kForegroundWidth, kForegroundHeight);
  const int32_t storedRow = StoredRowOfTop(at.y, kBenchHeight, kForegroundHeight);
  Bytes destination(kBytes24);
  for (auto _ : state) {
    Compose(destination.data(), Bgr24Of(background.data(), kBenchWidth, kBenchHeight),
            Bgra32Of(foreground.data(), kForegroundWidth, kForegroundHeight), at.x, storedRow);
    benchmark::DoNotOptimize(destination.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kBytes24));
}

void BM_Premultiply(benchmark::State& state) {
  Bytes pixels = Picture32().pixels;
  for (auto _ : state) {
    Premultiply(pixels.data(), Picture32().picture);
    benchmark::DoNotOptimize(pixels.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kBytes32));
}

void BM_ConvertTo24From32(benchmark::State& state) { ConvertBenchmark(state, Picture32()); }
void BM_ConvertTo24From16(benchmark::State& state) { ConvertBenchmark(state, Picture16()); }
void BM_ConvertTo24From8(benchmark::State& state) { ConvertBenchmark(state, Picture8()); }

void BM_KeyForeground24(benchmark::State& state) {
  Bytes out(kBytes32);
  for (auto _ : state) {
    KeyForeground(Picture24().picture, out.data());
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kBytes32));
}

void BM_Memcpy24(benchmark::State& state) { MemcpyBaseline(state, kBytes24); }
void BM_Memcpy32(benchmark::State& state) { MemcpyBaseline(state, kBytes32); }

BENCHMARK(BM_Compose)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConvertTo24From32)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConvertTo24From16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConvertTo24From8)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Memcpy24)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Premultiply)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeyForeground24)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Memcpy32)->Unit(benchmark::kMicrosecond);

}  // namespace
