// The WIC codec's decode path (the stream read into its buffer, decoded,
// described as WIC pixels) beside the plug-in's GetPicture on the same
// in-memory file, a 1920 x 1080 CZ1 picture of 32 bits; CopyPixels of the
// whole picture; and a 640 x 480 picture reduced to a 256-pixel
// thumbnail. Each beside a memcpy of the same bytes.
#include "bench/bench_support.h"
#include "codec/codec_picture.h"
#include "codec/stream_input.h"
#include "codec/thumbnail.h"
#include "tests/codec/fake_source.h"
#include "tests/fixtures/cz_writer.h"

SPI_EXPORT int SPI_CALL GetPicture(const char*, SpiLongPtr, unsigned int, SpiHandle*, SpiHandle*, ProgressCallback,
                                   SpiLongPtr);

namespace {

constexpr size_t kOutputBytes = size_t{kBenchWidth} * kBenchHeight * 4;
constexpr int kThumbSourceWidth = 640;
constexpr int kThumbSourceHeight = 480;
constexpr uint32_t kThumbEdge = 256;

const Bytes& Cz1File() {
  static const Bytes file = WriteCz1(GradientPicture(kBenchWidth, kBenchHeight, 4), {1, 2, 3});
  return file;
}

void BM_PluginGetPicture(benchmark::State& state) {
  const Bytes& file = Cz1File();
  for (auto _ : state) {
    SpiHandle info = nullptr, bits = nullptr;
    if (GetPicture(reinterpret_cast<const char*>(file.data()), static_cast<SpiLongPtr>(file.size()), 1, &info, &bits,
                   nullptr, 0) != 0) {
      state.SkipWithError("GetPicture failed");
      return;
    }
    platform::FreeMovable(info);
    platform::FreeMovable(bits);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kOutputBytes));
}

void BM_CodecDecode(benchmark::State& state) {
  const Bytes& file = Cz1File();
  for (auto _ : state) {
    FakeSource source(file.data(), file.size());
    FileBytes bytes;
    CodecPicture picture;
    if (ReadWholeStream(source, &bytes, kMaxPictureBytes) != CodecStatus::Ok ||
        picture.Decode(bytes.span()) != CodecStatus::Ok) {
      state.SkipWithError("the codec failed");
      return;
    }
    benchmark::DoNotOptimize(picture.view().top);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kOutputBytes));
}

void BM_CodecCopyPixels(benchmark::State& state) {
  const Bytes& file = Cz1File();
  CodecPicture picture;
  if (picture.Decode(ByteSpan{file.data(), file.size()}) != CodecStatus::Ok) {
    state.SkipWithError("the codec failed");
    return;
  }
  Bytes out(kOutputBytes);
  for (auto _ : state) {
    CopyPixels(picture.view(), nullptr, kBenchWidth * 4, static_cast<uint32_t>(out.size()), out.data());
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kOutputBytes));
}

void BM_CodecMemcpy(benchmark::State& state) { MemcpyBaseline(state, kOutputBytes); }

void BM_Thumbnail640x480(benchmark::State& state) {
  const Picture source = SpritePicture(kThumbSourceWidth, kThumbSourceHeight);
  PictureView view;
  view.width = kThumbSourceWidth;
  view.height = kThumbSourceHeight;
  view.top = source.pixels.data();
  view.rowStep = kThumbSourceWidth * 4;
  const ThumbnailSize size = FitThumbnail(view.width, view.height, kThumbEdge);
  Bytes out(size_t{size.width} * size.height * 4);
  for (auto _ : state) {
    ReduceToBgra(view, size, out.data());
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kThumbSourceWidth * kThumbSourceHeight * 4);
}

void BM_ThumbnailMemcpy(benchmark::State& state) {
  MemcpyBaseline(state, size_t{kThumbSourceWidth} * kThumbSourceHeight * 4);
}

BENCHMARK(BM_PluginGetPicture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CodecDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CodecCopyPixels)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CodecMemcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Thumbnail640x480)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThumbnailMemcpy)->Unit(benchmark::kMillisecond);

}  // namespace
