// Header fields at their limits, and files cut short, for every decoder.
//
// Each seed file is decoded by its own decoder with one header field (or
// two neighbouring ones) set to a value at the edge of its range, and cut
// at several lengths. Every result is printed, one line a case, so that the
// 32-bit and the 64-bit build can be compared line by line: they must
// answer every case alike. Run under AddressSanitizer, a case that reads
// or writes outside its blocks stops the sweep.
//
//   limit_sweep [--write FOLDER]   also writes every case into FOLDER as a
//                                  seed for the fuzzers
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/test_hooks.h"
#include "plugin/framework/detect.h"
#include "tests/fixtures/all_samples.h"

namespace {

// The header region swept: every decoder keeps its sizes, counts and
// offsets in the first bytes of the file or of its first record.
constexpr size_t kSweptBytes = 96;
// Pictures above this size are refused as a real heap would refuse them,
// the same in both builds, so that a picture too big for a 32-bit process
// cannot make the two answer differently.
constexpr size_t kAllocationLimit = size_t{4} << 20;

struct Field {
  size_t bytes;
  std::vector<uint32_t> limits;
};

const Field kFields[] = {
    {1, {0, 1, 0x7F, 0x80, 0xFF}},
    {2, {0, 1, 0x7FFF, 0x8000, 0xFFFF}},
    {4, {0, 1, 0x3FFFFFFF, 0x40000001, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF}},
};

void Put(Bytes& file, size_t offset, size_t bytes, uint32_t value) {
  for (size_t i = 0; i < bytes; ++i) file[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

int Decode(ImageFormat format, const Bytes& file) {
  DecoderPtr decoder = NewDecoder(format);
  const ByteSpan data{file.data(), file.size()};
  PictureInfo info;
  decoder->GetInfo(data, &info);
  SpiHandle infoBlock = nullptr, bitsBlock = nullptr;
  const SpiResult result = decoder->Decode(data, DecodeTarget{&infoBlock, &bitsBlock}, Progress(nullptr, 0));
  if (result == SpiResult::Ok) {
    platform::FreeMovable(infoBlock);
    platform::FreeMovable(bitsBlock);
  }
  return static_cast<int>(result);
}

class Sweep {
 public:
  explicit Sweep(std::string folder) : folder_(std::move(folder)) {}

  // `file` is a copy made for the case, exactly its size, so that a read
  // past its end is a read past the block.
  void Case(const std::string& name, ImageFormat format, const Bytes& file) {
    std::printf("%s %d\n", name.c_str(), Decode(format, file));
    ++cases_;
    if (!folder_.empty()) {
      std::ofstream out(folder_ + "/" + name, std::ios::binary);
      out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    }
  }

  // Each field alone at each limit, and the field with its right-hand
  // neighbour of the same width both at their largest values, which is how
  // a width and a height side by side reach their largest product.
  void Fields(const std::string& seed, ImageFormat format, const Bytes& file) {
    for (size_t offset = 0; offset < kSweptBytes && offset < file.size(); ++offset) {
      for (const Field& field : kFields) {
        if (offset + field.bytes > file.size()) continue;
        for (uint32_t value : field.limits) {
          Bytes mutated = file;
          Put(mutated, offset, field.bytes, value);
          Case(seed + "@" + std::to_string(offset) + ":" + std::to_string(field.bytes) + "=" + std::to_string(value),
               format, mutated);
        }
        if (offset + 2 * field.bytes > file.size()) continue;
        for (uint32_t value : {field.limits.back(), field.limits.back() >> 1}) {
          Bytes mutated = file;
          Put(mutated, offset, field.bytes, value);
          Put(mutated, offset + field.bytes, field.bytes, value);
          Case(seed + "@" + std::to_string(offset) + ":" + std::to_string(field.bytes) + "x2=" + std::to_string(value),
               format, mutated);
        }
      }
    }
  }

  void Cuts(const std::string& seed, ImageFormat format, const Bytes& file) {
    for (size_t k = 0; k < 16; ++k) {
      const size_t length = file.size() * k / 16;
      Case(seed + "-cut" + std::to_string(length), format, Bytes(file.begin(), file.begin() + length));
    }
    Case(seed + "-cut" + std::to_string(file.size() - 1), format, Bytes(file.begin(), file.end() - 1));
  }

  int cases() const { return cases_; }

 private:
  std::string folder_;
  int cases_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  std::string folder;
  if (argc == 3 && std::strcmp(argv[1], "--write") == 0) {
    folder = argv[2];
  } else if (argc != 1) {
    std::fprintf(stderr, "usage: limit_sweep [--write FOLDER]\n");
    return 2;
  }
  platform::test::SetAllocationLimit(kAllocationLimit);
  Sweep sweep(folder);
  for (const auto& [name, file] : AllSeeds()) {
    uint8_t header[kDetectionBytes] = {};
    std::memcpy(header, file.data(), std::min(file.size(), sizeof header));
    const ImageFormat format = DetectFormat(name.c_str(), header);
    if (format == ImageFormat::None) {
      std::fprintf(stderr, "limit_sweep: seed %s is not recognised\n", name.c_str());
      return 1;
    }
    sweep.Fields(name, format, file);
    sweep.Cuts(name, format, file);
  }
  std::fprintf(stderr, "limit_sweep: %d cases, %d bytes of size_t\n", sweep.cases(), static_cast<int>(sizeof(size_t)));
  return 0;
}
