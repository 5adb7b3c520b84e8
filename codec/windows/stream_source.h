// The caller's IStream as the core's byte source.
#pragma once

#include <objidl.h>

#include "codec/stream_input.h"

namespace codec {

class StreamSource : public ByteSource {
 public:
  explicit StreamSource(IStream* stream) : stream_(stream) {}

  bool Read(uint8_t* buffer, size_t size, size_t* got) override {
    // One read asks for at most what a ULONG holds.
    const ULONG ask = size > 0x40000000u ? 0x40000000u : static_cast<ULONG>(size);
    ULONG read = 0;
    const HRESULT hr = stream_->Read(buffer, ask, &read);
    *got = read;
    return SUCCEEDED(hr);
  }
  bool SeekTo(uint64_t position) override {
    LARGE_INTEGER move;
    move.QuadPart = static_cast<LONGLONG>(position);
    return SUCCEEDED(stream_->Seek(move, STREAM_SEEK_SET, nullptr));
  }
  bool Position(uint64_t* position) override {
    LARGE_INTEGER none{};
    ULARGE_INTEGER where{};
    if (FAILED(stream_->Seek(none, STREAM_SEEK_CUR, &where))) return false;
    *position = where.QuadPart;
    return true;
  }
  bool ClaimedSize(uint64_t* size) override {
    STATSTG status{};
    if (FAILED(stream_->Stat(&status, STATFLAG_NONAME))) return false;
    // A stream that gives a name all the same gets it freed.
    if (status.pwcsName) CoTaskMemFree(status.pwcsName);
    *size = status.cbSize.QuadPart;
    return true;
  }

 private:
  IStream* stream_;
};

}  // namespace codec
