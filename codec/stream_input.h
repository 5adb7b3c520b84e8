// A picture file read whole from a stream into one bounded buffer. The
// stream may hand over fewer bytes than asked at every read, fail to read
// or to seek, or claim a size it does not have; none of that gets past
// this reader, and no stream yields more than the cap it is read with
// (kMaxPictureFileBytes, the longest file a picture can come from).
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/bytes.h"
#include "base/sizes.h"
#include "codec/codec_status.h"

// The few stream operations the codec uses (an IStream on Windows, a
// fake one in the tests and the fuzzer).
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to `size` bytes; false when the stream reports a failure.
  // Fewer bytes than asked are not the end; no bytes at all are.
  virtual bool Read(uint8_t* buffer, size_t size, size_t* got) = 0;
  // Moves to an absolute position; false on failure.
  virtual bool SeekTo(uint64_t position) = 0;
  // The current position; false on failure.
  virtual bool Position(uint64_t* position) = 0;
  // The size the stream claims; false when it cannot say.
  virtual bool ClaimedSize(uint64_t* size) = 0;
};

// The bytes of one file, owned; freed when it goes away.
class FileBytes {
 public:
  FileBytes() = default;
  ~FileBytes();
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;

  ByteSpan span() const { return ByteSpan{data_, size_}; }
  // Makes room for `capacity` bytes, keeping those read so far.
  bool Reserve(size_t capacity);
  uint8_t* end() { return data_ + size_; }
  size_t room() const { return capacity_ - size_; }
  void Grow(size_t count) { size_ += count; }
  void Clear();

 private:
  uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

// Reads the whole stream from its start. A stream that claims more than
// `cap` bytes is refused before anything is read, one that turns out
// longer once it has given cap + 1 bytes.
CodecStatus ReadWholeStream(ByteSource& source, FileBytes* file, uint64_t cap);

// Reads up to `size` bytes from the stream's start into `buffer` and puts
// the stream back where it was, as a capability question must.
CodecStatus ReadStreamHead(ByteSource& source, uint8_t* buffer, size_t size, size_t* got);
