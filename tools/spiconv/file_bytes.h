// Reading a picture file for a plug-in: its first bytes, for the question
// whether the plug-in reads it, or the whole file, handed over in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

enum class ReadResult {
  Ok,
  ReadError,  // the stream reported an error: the bytes are cut short
  TooLarge,   // more bytes than the cap
  NoMemory,   // no block for the bytes
};

// The bytes a plug-in asks IsSupported about.
constexpr size_t kHeaderBytes = 2048;

// Reads up to `size` bytes from the start of the stream into `buffer` and
// zero-fills the rest of it: a short file is not an error, a failed read is.
ReadResult ReadHeader(std::FILE* in, uint8_t* buffer, size_t size);

// A whole file in one block followed by two zero bytes, which some
// plug-ins look for as an end.
class FileBlock {
 public:
  const uint8_t* data() const { return block_.data(); }
  size_t size() const { return block_.empty() ? 0 : block_.size() - kZeroTail; }

 private:
  friend ReadResult ReadWhole(std::FILE* in, uint64_t expectedSize, uint64_t cap, FileBlock* file);
  static constexpr size_t kZeroTail = 2;
  std::vector<uint8_t> block_;
};

// Reads the stream to its end. `expectedSize` (the file's size when it was
// opened) sizes the block up front, so a file larger than `cap` is refused
// before any byte is read; one that grows past the cap while it is read is
// refused too. A failed allocation is NoMemory, never an exception. On any
// result but Ok `file` is left empty.
ReadResult ReadWhole(std::FILE* in, uint64_t expectedSize, uint64_t cap, FileBlock* file);
