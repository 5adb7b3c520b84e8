// TGA and BBM decodes under every allocation failure.
#include "tests/fixtures/tga_writer.h"
#include "tests/support/allocation_failure.h"

namespace {

TEST(AllocationFailure, Tga) {
  ExpectEveryAllocationFailureHandled(WriteTga(TgaFile{NoisePicture(9, 4, 3, 1)}));
  ExpectEveryAllocationFailureHandled(WriteTga(TgaFile{IndexPicture(9, 4, 16, 2), TestPalette(1), 16, 24}));
}

TEST(AllocationFailure, Bbm) {
  BbmFile bbm;
  bbm.indices = IndexPicture(32, 16, 50, 3);
  bbm.palette = TestPalette(3);
  ExpectEveryAllocationFailureHandled(WriteBbm(bbm));
}

}  // namespace
