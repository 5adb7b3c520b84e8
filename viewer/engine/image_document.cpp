#include "viewer/engine/image_document.h"

#include <cstring>

#include "platform/platform.h"
#include "viewer/engine/caption.h"
#include "viewer/engine/foreground_pixels.h"
#include "viewer/engine/pixel_convert.h"

// A plug-in's two blocks, locked while the picture is taken in. Whatever
// the document does not keep is freed when this goes away, each block once.
class ImageDocument::Decoded {
 public:
  Decoded() = default;
  ~Decoded() {
    Release(info_);
    Release(bits_);
  }
  Decoded(const Decoded&) = delete;
  Decoded& operator=(const Decoded&) = delete;

  // The plug-in's result, or kRefused when its blocks cannot be locked or
  // do not hold what their header describes.
  SpiResult Decode(PictureDecoder& decoder, const char* path) {
    SpiHandle info = nullptr, bits = nullptr;
    const SpiResult result = decoder.DecodeFile(path, &info, &bits);
    if (result != SpiResult::Ok) return result;
    const ByteSpan infoBytes = Lock(info, &info_), pixelBytes = Lock(bits, &bits_);
    if (!infoBytes.data || !pixelBytes.data || !ReadPluginPicture(infoBytes, pixelBytes, &picture_)) return kRefused;
    return SpiResult::Ok;
  }

  const DibPicture& picture() const { return picture_; }
  // The pixel rows can be written in place while they are held here.
  uint8_t* pixels() const { return bits_.data; }
  // Hands the pixel block over, locked once.
  void GiveBitsTo(MovableBlock& block) {
    block.AdoptLocked(bits_.handle, bits_.data);
    bits_ = {};
  }

 private:
  struct Block {
    SpiHandle handle = nullptr;
    uint8_t* data = nullptr;  // null when it is not locked
  };

  static ByteSpan Lock(SpiHandle handle, Block* block) {
    block->handle = handle;
    block->data = platform::LockMovable(handle);
    return block->data ? ByteSpan{block->data, platform::MovableSize(handle)} : ByteSpan{};
  }
  static void Release(const Block& block) {
    if (!block.handle) return;
    if (block.data) platform::UnlockMovable(block.handle);
    platform::FreeMovable(block.handle);
  }

  Block info_;
  Block bits_;
  DibPicture picture_;
};

namespace {

// A new block of `size` bytes, filled by fill(data), replaces `target`.
// The new block is filled before the old one goes, so a picture that cannot
// be allocated or converted leaves the previous one in place. A block that
// cannot be had is a shortage of memory, not a broken picture.
template <class Fill>
SpiResult ReplaceWithFilledBlock(MovableBlock& target, size_t size, Fill fill) {
  if (size == 0) return kRefused;
  MovableBlock block;
  if (!block.Allocate(size)) return SpiResult::OutOfMemory;
  if (!fill(block.data())) return kRefused;
  target = std::move(block);
  return SpiResult::Ok;
}

}  // namespace

SpiResult ImageDocument::OpenImage(const char* path, int mode, Replaced* replaced) {
  Decoded decoded;
  const SpiResult result = decoded.Decode(decoder_, path);
  if (result != SpiResult::Ok) return result;
  const bool alpha = HasAlphaChannel(decoded.picture().header);
  SpiResult taken = kRefused;
  Replaced done = Replaced::Nothing;
  if ((mode & kMayBeForeground) && alpha) {
    if ((taken = SetForeground(decoded)) == SpiResult::Ok) {
      foregroundName_ = path;
      done = Replaced::Foreground;
    }
  } else if ((mode & kMayBeBackground) && !alpha) {
    if ((taken = SetBackground(decoded)) == SpiResult::Ok) {
      backgroundName_ = path;
      done = Replaced::Background;
    }
  }
  if (replaced) *replaced = done;
  return taken;
}

SpiResult ImageDocument::ForceForeground(const char* path) {
  Decoded decoded;
  const SpiResult result = decoded.Decode(decoder_, path);
  if (result != SpiResult::Ok) return result;
  const SpiResult taken =
      HasAlphaChannel(decoded.picture().header) ? SetForeground(decoded) : SetKeyedForeground(decoded.picture());
  if (taken == SpiResult::Ok) foregroundName_ = path;
  return taken;
}

Replaced ImageDocument::PastePicture(ByteSpan block, std::string_view name) {
  DibPicture picture;
  if (!ReadPackedDib(block, &picture)) return Replaced::Nothing;
  if (HasAlphaChannel(picture.header)) {
    if (SetForegroundCopy(picture) != SpiResult::Ok) return Replaced::Nothing;
    foregroundName_ = name;
    return Replaced::Foreground;
  }
  if (SetBackgroundCopy(picture) != SpiResult::Ok) return Replaced::Nothing;
  backgroundName_ = name;
  return Replaced::Background;
}

void ImageDocument::ClearImages() {
  foreground_.Free();
  background_.Free();
}

std::string ImageDocument::Caption(std::string_view productName) const {
  std::optional<CaptionPicture> foreground, background;
  if (HasForeground())
    foreground = CaptionPicture{foregroundName_, foregroundHeader_.biWidth, foregroundHeader_.biHeight, 32};
  if (HasBackground())
    background = CaptionPicture{backgroundName_, backgroundHeader_.biWidth, backgroundHeader_.biHeight, 24};
  return BuildCaption(productName, foreground, background);
}

// The decoded 32-bit rows become the foreground where they are: turned
// bottom-up if stored top first, then premultiplied.
SpiResult ImageDocument::SetForeground(Decoded& decoded) {
  const DibPicture& picture = decoded.picture();
  if (picture.topDown) FlipRows(decoded.pixels(), picture.stride, picture.height);
  if (!Premultiply(decoded.pixels(), picture)) return kRefused;
  decoded.GiveBitsTo(foreground_);
  foregroundHeader_ = ForegroundHeader(picture);
  return SpiResult::Ok;
}

// Keyed pixels have alpha 0 or 255, which premultiplying leaves as they are.
SpiResult ImageDocument::SetKeyedForeground(const DibPicture& picture) {
  const size_t size = Bgra32Of(nullptr, picture.width, picture.height).bytes;
  const SpiResult result =
      ReplaceWithFilledBlock(foreground_, size, [&](uint8_t* keyed) { return KeyForeground(picture, keyed); });
  if (result == SpiResult::Ok) foregroundHeader_ = ForegroundHeader(picture);
  return result;
}

// The copy is premultiplied, never the source.
SpiResult ImageDocument::SetForegroundCopy(const DibPicture& picture) {
  const size_t size = Bgra32Of(nullptr, picture.width, picture.height).bytes;
  const auto premultipliedCopy = [&](uint8_t* copy) {
    std::memcpy(copy, picture.pixels, size);
    if (picture.topDown) FlipRows(copy, picture.stride, picture.height);
    return Premultiply(copy, picture);
  };
  const SpiResult result = ReplaceWithFilledBlock(foreground_, size, premultipliedCopy);
  if (result == SpiResult::Ok) foregroundHeader_ = ForegroundHeader(picture);
  return result;
}

// A 24-bit picture's rows are kept as they are (turned bottom-up if need
// be); any other depth is converted into a block of the document's own.
SpiResult ImageDocument::SetBackground(Decoded& decoded) {
  const DibPicture& picture = decoded.picture();
  if (picture.header.biBitCount != 24) return SetBackgroundCopy(picture);
  if (picture.topDown) FlipRows(decoded.pixels(), picture.stride, picture.height);
  decoded.GiveBitsTo(background_);
  backgroundHeader_ = MakeBitmapInfoHeader(picture.width, picture.height, 24);
  return SpiResult::Ok;
}

SpiResult ImageDocument::SetBackgroundCopy(const DibPicture& picture) {
  const size_t size = Bgr24Of(nullptr, picture.width, picture.height).bytes;
  const SpiResult result =
      ReplaceWithFilledBlock(background_, size, [&](uint8_t* rows) { return ConvertTo24(picture, rows); });
  if (result == SpiResult::Ok) backgroundHeader_ = MakeBitmapInfoHeader(picture.width, picture.height, 24);
  return result;
}
