// Every allocation a CZ1 or CZ2 decode makes is made to fail in turn; both
// decoders take a working buffer after the two blocks.
#include "tests/fixtures/cz_writer.h"
#include "tests/support/allocation_failure.h"

namespace {

TEST(AllocationFailure, CZ1) {
  ExpectEveryAllocationFailureHandled(
      AssembleCz1({Cz1Strip(NoisePicture(9, 4, 4, 1)), Cz1Strip(NoisePicture(5, 3, 3, 2))}));
}

TEST(AllocationFailure, CZ2) {
  ExpectEveryAllocationFailureHandled(
      AssembleCz2({Cz2Strip(NoisePicture(9, 4, 4, 1)), Cz2Strip(NoisePicture(5, 3, 4, 2))}));
}

}  // namespace
