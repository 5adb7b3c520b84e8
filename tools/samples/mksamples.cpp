// Writes our sample pictures, in every format the plug-in reads, into the
// folder given on the command line.
#include <cstdio>
#include <fstream>
#include <string>

#include "tests/fixtures/tga_writer.h"

namespace {

void Save(const std::string& folder, const std::string& name, const Bytes& bytes) {
  std::ofstream(folder + "/" + name, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: mksamples FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  const Picture gradient = GradientPicture(320, 200, 3);
  const Picture sprite = SpritePicture(160, 160);

  Save(folder, "gradient.tga", WriteTga(TgaFile{gradient}));
  TgaFile topDown{sprite};
  topDown.topRowFirst = true;
  Save(folder, "sprite.tga", WriteTga(topDown));

  BbmFile tiles;
  tiles.indices = IndexPicture(128, 96, 64, 5);
  for (int y = 0; y < 96; ++y)
    for (int x = 0; x < 128; ++x) *tiles.indices.At(x, y) = static_cast<uint8_t>((x / 8 + y / 8) % 64);
  tiles.palette = TestPalette(7);
  tiles.colours = 64;
  tiles.tileWidth = 32;
  tiles.tileHeight = 32;
  Save(folder, "tiles.bbm", WriteBbm(tiles));
  return 0;
}
