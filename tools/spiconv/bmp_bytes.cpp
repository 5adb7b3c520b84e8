#include "tools/spiconv/bmp_bytes.h"

#include <cstring>

#include "base/sizes.h"

namespace {

constexpr size_t kFileHeaderBytes = 14;

void Put16(uint8_t* p, uint32_t value) {
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
}

void Put32(uint8_t* p, uint32_t value) {
  Put16(p, value);
  Put16(p + 2, value >> 16);
}

}  // namespace

size_t KeptInfoBytes(ByteSpan info) {
  const uint32_t headerBytes = Le32(info.data);
  const uint16_t bitCount = Le16(info.data + 14);
  uint64_t colours = Le32(info.data + 32);
  if (colours == 0 && bitCount <= 8) colours = uint64_t{1} << bitCount;
  const uint64_t bytes = headerBytes + 4 * colours;
  return bytes < info.size ? static_cast<size_t>(bytes) : info.size;
}

bool MakeBmpFile(ByteSpan info, ByteSpan bits, std::vector<uint8_t>* file) {
  const size_t infoBytes = KeptInfoBytes(info);
  const uint64_t offBits = kFileHeaderBytes + uint64_t{infoBytes};
  const uint64_t total = offBits + bits.size;
  if (total > UINT32_MAX) return false;
  file->assign(static_cast<size_t>(total), 0);
  uint8_t* p = file->data();
  Put16(p, 0x4D42);  // "BM"
  Put32(p + 2, static_cast<uint32_t>(total));
  Put32(p + 10, static_cast<uint32_t>(offBits));
  std::memcpy(p + kFileHeaderBytes, info.data, infoBytes);
  if (bits.size) std::memcpy(p + offBits, bits.data, bits.size);
  return true;
}
