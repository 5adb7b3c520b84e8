#include "tools/spiconv/file_bytes.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>
#include <utility>

namespace {

constexpr size_t kChunk = 64 * 1024;

}  // namespace

ReadResult ReadHeader(std::FILE* in, uint8_t* buffer, size_t size) {
  size_t filled = 0;
  while (filled < size) {
    const size_t got = std::fread(buffer + filled, 1, size - filled, in);
    filled += got;
    if (got == 0) break;
  }
  std::memset(buffer + filled, 0, size - filled);
  return std::ferror(in) ? ReadResult::ReadError : ReadResult::Ok;
}

ReadResult ReadWhole(std::FILE* in, uint64_t expectedSize, uint64_t cap, FileBlock* file) {
  file->block_.clear();
  if (expectedSize > cap) return ReadResult::TooLarge;
  std::vector<uint8_t> block;
  try {
    // Room for the whole file, one chunk past it to see its end, and the tail.
    block.reserve(static_cast<size_t>(expectedSize) + kChunk + FileBlock::kZeroTail);
    size_t filled = 0;
    for (;;) {
      block.resize(filled + kChunk);
      const size_t got = std::fread(block.data() + filled, 1, kChunk, in);
      filled += got;
      if (filled > cap) return ReadResult::TooLarge;
      if (got < kChunk) break;
    }
    if (std::ferror(in)) return ReadResult::ReadError;
    block.resize(filled);
    block.resize(filled + FileBlock::kZeroTail, 0);
  } catch (const std::bad_alloc&) {
    return ReadResult::NoMemory;
  } catch (const std::length_error&) {
    return ReadResult::NoMemory;
  }
  file->block_ = std::move(block);
  return ReadResult::Ok;
}
