// zlib's own working memory running out while a CZ1 row expands: the
// picture fails with OutOfMemory, not as broken data, and nothing is left
// allocated. The test program is linked with uncompress wrapped, so the
// failure can be switched on here.
#include <gtest/gtest.h>
#include <zlib.h>

#include "tests/fixtures/cz_writer.h"
#include "tests/support/plugin_api.h"

namespace {
bool zlibOutOfMemory = false;
}  // namespace

extern "C" int __real_uncompress(Bytef* dest, uLongf* destLen, const Bytef* source, uLong sourceLen);
extern "C" int __wrap_uncompress(Bytef* dest, uLongf* destLen, const Bytef* source, uLong sourceLen) {
  if (zlibOutOfMemory) return Z_MEM_ERROR;
  return __real_uncompress(dest, destLen, source, sourceLen);
}

namespace {

TEST(Cz1, ZlibOutOfMemoryIsOutOfMemory) {
  const Bytes file = WriteCz1(GradientPicture(7, 5, 3), {kCz1Deflated});
  zlibOutOfMemory = true;
  const Decoded d = DecodeMemory(file);
  zlibOutOfMemory = false;
  EXPECT_EQ(d.result, 4);
  EXPECT_FALSE(d.handed);
  EXPECT_EQ(DecodeMemory(file).result, 0);
}

}  // namespace
