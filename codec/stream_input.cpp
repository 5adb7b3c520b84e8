#include "codec/stream_input.h"

#include <cstring>

#include "platform/platform.h"

namespace {

// The first buffer when the stream does not say its size, and the least
// the buffer grows by.
constexpr size_t kFirstChunk = size_t{64} << 10;
// A claimed size is believed up to this much at first: a stream that
// claims nearly the cap and holds a few bytes costs no large block.
constexpr uint64_t kTrustedClaim = uint64_t{64} << 20;

// Fills the buffer from the stream until the stream ends; false on a
// failed read.
bool ReadUntilFull(ByteSource& source, uint8_t* buffer, size_t size, size_t* total) {
  *total = 0;
  while (*total < size) {
    size_t got = 0;
    if (!source.Read(buffer + *total, size - *total, &got) || got > size - *total) return false;
    if (got == 0) break;
    *total += got;
  }
  return true;
}

}  // namespace

FileBytes::~FileBytes() { Clear(); }

void FileBytes::Clear() {
  platform::HeapRelease(data_);
  data_ = nullptr;
  size_ = capacity_ = 0;
}

bool FileBytes::Reserve(size_t capacity) {
  if (capacity <= capacity_) return true;
  auto* bigger = static_cast<uint8_t*>(platform::HeapAllocate(capacity));
  if (!bigger) return false;
  if (size_) std::memcpy(bigger, data_, size_);
  platform::HeapRelease(data_);
  data_ = bigger;
  capacity_ = capacity;
  return true;
}

CodecStatus ReadWholeStream(ByteSource& source, FileBytes* file, uint64_t cap) {
  file->Clear();
  // One byte past the cap tells a file of exactly cap bytes from a longer one.
  uint64_t limit64;
  size_t limit;
  if (!AddCount(cap, 1, &limit64)) return CodecStatus::TooLarge;
  if (!ToSize(limit64, &limit)) limit = SIZE_MAX;
  uint64_t claimed = 0;
  const bool sized = source.ClaimedSize(&claimed);
  if (sized && claimed > cap) return CodecStatus::TooLarge;
  if (!source.SeekTo(0)) return CodecStatus::StreamRead;
  // A stream that says its size is read into a buffer of that size and one
  // byte more; a stream that lies is still read to its end.
  const uint64_t first = !sized ? kFirstChunk : claimed < kTrustedClaim ? claimed + 1 : kTrustedClaim;
  size_t next = first < limit ? static_cast<size_t>(first) : limit;
  for (;;) {
    if (next > limit) next = limit;
    if (!file->Reserve(next)) {
      file->Clear();
      return CodecStatus::OutOfMemory;
    }
    size_t got = 0;
    const size_t room = file->room();
    if (!ReadUntilFull(source, file->end(), room, &got)) {
      file->Clear();
      return CodecStatus::StreamRead;
    }
    file->Grow(got);
    if (got < room) return CodecStatus::Ok;
    if (file->span().size >= limit) {
      file->Clear();
      return CodecStatus::TooLarge;
    }
    const size_t size = file->span().size;
    next = size + (size < kFirstChunk ? kFirstChunk : size);
    if (next < size) next = limit;
  }
}

CodecStatus ReadStreamHead(ByteSource& source, uint8_t* buffer, size_t size, size_t* got) {
  *got = 0;
  uint64_t where;
  if (!source.Position(&where) || !source.SeekTo(0)) return CodecStatus::StreamRead;
  const bool read = ReadUntilFull(source, buffer, size, got);
  // The caller's position matters more than what was read.
  if (!source.SeekTo(where) || !read) return CodecStatus::StreamRead;
  return CodecStatus::Ok;
}
