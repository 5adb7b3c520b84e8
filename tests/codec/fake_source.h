// A stream over bytes in memory that misbehaves on request: it hands over
// at most `chunk` bytes a read, fails the read that reaches `failReadAt`,
// fails seeks from the n-th on, and claims whatever size it is told. The
// native tests, the fuzzer and the benchmark feed the codec through it.
#pragma once

#include <cstdint>
#include <cstring>

#include "codec/stream_input.h"

class FakeSource : public ByteSource {
 public:
  FakeSource(const uint8_t* data, size_t size) : claimed(size), data_(data), size_(size) {}

  size_t chunk = SIZE_MAX;             // most bytes one read hands over
  uint64_t failReadAt = UINT64_MAX;    // a read that would reach this offset fails
  int failSeekFrom = 0;                // 0: seeks work; n: the n-th seek and later fail
  bool sayNoSize = false;              // ClaimedSize fails
  uint64_t claimed;                    // what ClaimedSize answers
  int seeks = 0;

  bool Read(uint8_t* buffer, size_t size, size_t* got) override {
    *got = 0;
    if (position_ >= size_) return true;
    size_t n = size_ - static_cast<size_t>(position_);
    if (n > size) n = size;
    if (n > chunk) n = chunk;
    if (failReadAt != UINT64_MAX && position_ + n > failReadAt) return false;
    std::memcpy(buffer, data_ + position_, n);
    position_ += n;
    *got = n;
    return true;
  }
  bool SeekTo(uint64_t position) override {
    if (failSeekFrom && ++seeks >= failSeekFrom) return false;
    position_ = position;
    return true;
  }
  bool Position(uint64_t* position) override {
    *position = position_;
    return true;
  }
  bool ClaimedSize(uint64_t* size) override {
    *size = claimed;
    return !sayNoSize;
  }
  uint64_t position() const { return position_; }

 private:
  const uint8_t* data_;
  size_t size_;
  uint64_t position_ = 0;
};
