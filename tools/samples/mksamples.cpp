// Writes our sample pictures, in every format the plug-in reads:
//   mksamples FOLDER           the samples that `make run` converts
//   mksamples --small FOLDER   small seed files for the fuzzers, named
//                              after the decoder they are for
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "tests/fixtures/px_tiles_writer.h"
#include "tests/fixtures/lf_writer.h"
#include "tests/fixtures/px_writer.h"
#include "tests/fixtures/cz_writer.h"
#include "tests/fixtures/tga_writer.h"

namespace {

struct Sample {
  std::string name;
  Bytes bytes;
};

// Appends the named files another writer makes.
void Add(std::vector<Sample>& samples, const NamedFiles& files) {
  for (const auto& [name, bytes] : files) samples.push_back({name, bytes});
}

Picture Checker(int width, int height, int colours) {
  Picture p = IndexPicture(width, height, colours, 5);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) *p.At(x, y) = static_cast<uint8_t>((x / 8 + y / 8) % colours);
  return p;
}

BbmFile Tiles(int across, int down, int tileSize, int entryBits) {
  BbmFile bbm;
  bbm.indices = Checker(across * tileSize, down * tileSize, 64);
  bbm.palette = TestPalette(7);
  bbm.colours = 64;
  bbm.entryBits = entryBits;
  bbm.tileWidth = tileSize;
  bbm.tileHeight = tileSize;
  return bbm;
}

std::vector<Sample> Samples() {
  TgaFile sprite{SpritePicture(160, 160)};
  sprite.topRowFirst = true;
  std::vector<Sample> samples = {
      {"gradient.tga", WriteTga(TgaFile{GradientPicture(320, 200, 3)})},
      {"sprite.tga", WriteTga(sprite)},
      {"tiles.bbm", WriteBbm(Tiles(4, 3, 32, 32))},
  };
  Add(samples, PxTileSamples());
  Add(samples, LfSamples());
  Add(samples, PxSamples());
  Add(samples, CzSamples());
  return samples;
}

std::vector<Sample> Seeds() {
  TgaFile mapped{IndexPicture(7, 5, 16, 1), TestPalette(1), 16, 24};
  TgaFile expanded{IndexPicture(7, 5, 16, 1), TestPalette(1), 16, 32};
  std::vector<Sample> seeds = {
      {"tga-1.tga", WriteTga(TgaFile{GradientPicture(7, 5, 3)})},
      {"tga-2.tga", WriteTga(mapped)},
      {"tga-3.tga", WriteTga(expanded)},
      {"bbm-1.bbm", WriteBbm(Tiles(2, 2, 4, 32))},
      {"bbm-2.bbm", WriteBbm(Tiles(3, 1, 4, 24))},
  };
  Add(seeds, PxTileSeeds());
  Add(seeds, LfSeeds());
  Add(seeds, PxSeeds());
  Add(seeds, CzSeeds());
  return seeds;
}

bool Save(const std::string& folder, const Sample& sample) {
  std::ofstream out(folder + "/" + sample.name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(sample.bytes.data()), static_cast<std::streamsize>(sample.bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  const bool small = argc == 3 && std::strcmp(argv[1], "--small") == 0;
  if (argc != 2 && !small) {
    std::fprintf(stderr, "usage: mksamples [--small] FOLDER\n");
    return 2;
  }
  const std::string folder = argv[argc - 1];
  for (const Sample& sample : small ? Seeds() : Samples()) {
    if (!Save(folder, sample)) {
      std::fprintf(stderr, "mksamples: cannot write %s/%s\n", folder.c_str(), sample.name.c_str());
      return 1;
    }
  }
  return 0;
}
