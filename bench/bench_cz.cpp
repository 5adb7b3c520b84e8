// CZ1 and CZ2 decoding on a 1920 x 1080 picture of 32 bits, each beside
// its floor (zlib's uncompress of the same rows; ExpandLzss of the same
// stream) and a memcpy of the same output bytes.
#include <zlib.h>

#include "bench/bench_support.h"
#include "plugin/formats/spi_cz1.h"
#include "plugin/formats/spi_cz2.h"
#include "plugin/framework/lzss.h"
#include "tests/fixtures/cz_writer.h"

namespace {

constexpr size_t kPixelBytes = 4;
constexpr size_t kOutputBytes = size_t{kBenchWidth} * kBenchHeight * kPixelBytes;
constexpr size_t kFirstRow = 24;  // magic, strip count, one strip record

const Picture& Source() {
  static const Picture picture = GradientPicture(kBenchWidth, kBenchHeight, kPixelBytes);
  return picture;
}

// Every row compressed, the three compressed modes taking turns.
const Bytes& Cz1File() {
  static const Bytes file = WriteCz1(Source(), {1, 2, 3});
  return file;
}

const CzStoredStrip& Cz2Stored() {
  static const CzStoredStrip strip = Cz2Strip(Source());
  return strip;
}

const Bytes& Cz2File() {
  static const Bytes file = AssembleCz2({Cz2Stored()});
  return file;
}

// The floor of CZ1: each row's zlib stream expanded, nothing more.
void BM_Cz1Uncompress(benchmark::State& state) {
  const Bytes& file = Cz1File();
  const size_t rowBytes = kBenchWidth * kPixelBytes;
  Bytes row(rowBytes);
  for (auto _ : state) {
    const uint8_t* p = file.data() + kFirstRow;
    for (int y = 0; y < kBenchHeight; ++y) {
      const size_t length = size_t{p[1]} << 8 | p[2];
      uLongf produced = static_cast<uLongf>(rowBytes);
      if (uncompress(row.data(), &produced, p + 3, static_cast<uLong>(length)) != Z_OK) {
        state.SkipWithError("uncompress failed");
        return;
      }
      p += 3 + length;
    }
    benchmark::DoNotOptimize(row.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kOutputBytes));
}

// The floor of CZ2: the strip's stream expanded, nothing more.
void BM_Cz2ExpandLzss(benchmark::State& state) {
  const Bytes& stream = Cz2Stored().data;
  Bytes out(kOutputBytes);
  for (auto _ : state) {
    benchmark::DoNotOptimize(ExpandLzss(out.data(), ByteSpan{stream.data(), stream.size()}, out.size()));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kOutputBytes));
}

void BM_Cz1Decode(benchmark::State& state) { DecodeBenchmark<SpiCZ1>(state, Cz1File()); }
void BM_Cz2Decode(benchmark::State& state) { DecodeBenchmark<SpiCZ2>(state, Cz2File()); }
void BM_CzMemcpy(benchmark::State& state) { MemcpyBaseline(state, kOutputBytes); }

BENCHMARK(BM_Cz1Decode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cz1Uncompress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cz2Decode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cz2ExpandLzss)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CzMemcpy)->Unit(benchmark::kMillisecond);

}  // namespace
