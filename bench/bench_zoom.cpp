// The zoomed view's paint: a 1920x1080 composite scaled into a view of
// 1580x1100 window pixels (the speed scenario's window), a strip at a
// time as the view makes it, at 200 % (the view's middle), at the scale
// that fits it (79/96) and at 50 % and 150 %; each beside a memcpy of the
// bytes it makes. A drag step at Fit composes and scales: with the blit it
// must stay within a sixtieth of a second.
#include <algorithm>
#include <vector>

#include "bench/bench_support.h"
#include "viewer/engine/compose.h"
#include "viewer/engine/zoom_scale.h"

namespace {

constexpr int32_t kViewWidth = 1580;
constexpr int32_t kViewHeight = 1100;
constexpr int32_t kSpriteWidth = 800;
constexpr int32_t kSpriteHeight = 600;
constexpr size_t kStride = size_t{kBenchWidth} * 3;

const Bytes& Scene() {
  static const Bytes scene = ExpectedBits(GradientPicture(kBenchWidth, kBenchHeight, 3));
  return scene;
}

ScaleSource SceneSource(const Bytes& pixels) { return {pixels.data(), kBenchWidth, kBenchHeight, kStride, 3}; }

int32_t ZoomedOf(int32_t size, Scale s) { return static_cast<int32_t>((int64_t{size} * s.num + s.den - 1) / s.den); }

// The part of the view the zoomed picture covers, in its middle where the
// picture is larger than the view.
ScaleRegion VisibleRegion(Scale scale) {
  const int32_t width = ZoomedOf(kBenchWidth, scale), height = ZoomedOf(kBenchHeight, scale);
  const int32_t w = std::min(width, kViewWidth), h = std::min(height, kViewHeight);
  return {(width - w) / 2, (height - h) / 2, w, h};
}

// One paint's rows, strip by strip into one strip's buffer.
void ScaleOnce(ZoomScaler& scaler, const ScaleSource& source, Scale scale, ScaleRegion region,
               std::vector<uint32_t>& strip) {
  const int32_t rows = StripRows(region.width);
  if (!scaler.Begin(source, scale, region)) return;
  for (int32_t y = 0; y < region.height; y += rows) {
    scaler.NextRows(rows, strip.data());
    benchmark::DoNotOptimize(strip.data());
    benchmark::ClobberMemory();
  }
}

void ScaleBenchmark(benchmark::State& state, Scale scale) {
  const ScaleRegion region = VisibleRegion(scale);
  std::vector<uint32_t> strip(static_cast<size_t>(region.width) * StripRows(region.width));
  ZoomScaler scaler;
  for (auto _ : state) ScaleOnce(scaler, SceneSource(Scene()), scale, region, strip);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * region.width * region.height * 4);
}

void BM_ZoomScale200(benchmark::State& state) { ScaleBenchmark(state, {2, 1}); }
void BM_ZoomScaleFit(benchmark::State& state) { ScaleBenchmark(state, {79, 96}); }
void BM_ZoomScale50(benchmark::State& state) { ScaleBenchmark(state, {1, 2}); }
void BM_ZoomScale150(benchmark::State& state) { ScaleBenchmark(state, {3, 2}); }

// The bytes of the largest paint, the view full at 200 %.
void BM_MemcpyView(benchmark::State& state) { MemcpyBaseline(state, size_t{kViewWidth} * kViewHeight * 4); }

// A drag step's pixel work at Fit and at 200 %: the composite made anew,
// then the view's part of it scaled.
void DragStepBenchmark(benchmark::State& state, Scale scale) {
  Bytes foreground = ExpectedBits(SpritePicture(kSpriteWidth, kSpriteHeight));
  for (size_t i = 0; i < foreground.size(); i += 4) {
    for (int c = 0; c < 3; ++c) foreground[i + c] = static_cast<uint8_t>(foreground[i + c] * (foreground[i + 3] + 1) >> 8);
  }
  Bytes composite(kStride * kBenchHeight);
  const ScaleRegion region = VisibleRegion(scale);
  std::vector<uint32_t> strip(static_cast<size_t>(region.width) * StripRows(region.width));
  ZoomScaler scaler;
  int32_t x = 100;
  for (auto _ : state) {
    Compose(composite.data(), Bgr24Of(Scene().data(), kBenchWidth, kBenchHeight),
            Bgra32Of(foreground.data(), kSpriteWidth, kSpriteHeight), x++ % 1000, 200);
    ScaleOnce(scaler, SceneSource(composite), scale, region, strip);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(composite.size()));
}

void BM_DragStepPixelsFit(benchmark::State& state) { DragStepBenchmark(state, {79, 96}); }
void BM_DragStepPixels200(benchmark::State& state) { DragStepBenchmark(state, {2, 1}); }
void BM_MemcpyComposite(benchmark::State& state) { MemcpyBaseline(state, kStride * kBenchHeight); }

BENCHMARK(BM_ZoomScale200)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ZoomScaleFit)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ZoomScale50)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ZoomScale150)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemcpyView)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DragStepPixelsFit)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DragStepPixels200)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemcpyComposite)->Unit(benchmark::kMicrosecond);

}  // namespace
