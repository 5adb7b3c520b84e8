// The codec's stream path as the imaging component and the shell drive it:
// a stream that misbehaves as the first four input bytes say (bytes per
// read, where a read fails, from which seek on seeks fail, what size it
// claims), the capability question, the whole file read into its bounded
// buffer and decoded by whichever decoder detection picks, then a
// rectangle copied out and a thumbnail made.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "codec/codec_picture.h"
#include "codec/stream_input.h"
#include "codec/thumbnail.h"
#include "fuzz/fuzz_decoder.h"
#include "tests/codec/fake_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool limited = (platform::test::SetAllocationLimit(kFuzzAllocationLimit), true);
  (void)limited;
  constexpr size_t kControl = 4;
  if (size < kControl) return 0;
  const uint8_t chunk = data[0], at = data[1], mode = data[2], edge = data[3];
  FakeSource source(data + kControl, size - kControl);
  if (chunk) source.chunk = chunk;
  if (mode & 1) source.failReadAt = uint64_t{at} * 16;
  if (mode & 2) source.failSeekFrom = 1 + (at & 3);
  if (mode & 4) source.sayNoSize = true;
  if (mode & 8) source.claimed = (mode & 16) ? kMaxPictureBytes + uint64_t{at} : at;

  uint8_t head[2048];
  size_t got = 0;
  if (ReadStreamHead(source, head, sizeof head, &got) == CodecStatus::Ok) CanDecode(ByteSpan{head, got});
  FileBytes file;
  if (ReadWholeStream(source, &file, kMaxPictureBytes) != CodecStatus::Ok) return 0;
  CodecPicture picture;
  if (picture.Decode(file.span()) != CodecStatus::Ok) return 0;
  const PictureView& view = picture.view();

  // A rectangle from the control bytes, possibly reaching outside.
  const PixelRect rect{at % 8, mode % 8 - 1, static_cast<int32_t>(view.width) - at % 5,
                       static_cast<int32_t>(view.height) - edge % 5};
  const uint32_t stride = view.width * view.bytesPerPixel + chunk % 4;
  std::vector<uint8_t> out(size_t{stride} * view.height);
  CopyPixels(view, &rect, stride, static_cast<uint32_t>(out.size()), out.data());

  const ThumbnailSize fit = FitThumbnail(view.width, view.height, 1u + edge % 96);
  std::vector<uint8_t> thumbnail(size_t{fit.width} * fit.height * 4);
  ReduceToBgra(view, fit, thumbnail.data());
  return 0;
}
