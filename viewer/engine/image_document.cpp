#include "viewer/engine/image_document.h"

#include <cstring>

#include "platform/platform.h"
#include "viewer/engine/caption.h"
#include "viewer/engine/pixel_convert.h"

namespace {

constexpr int kRefused = 2;

}  // namespace

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

  // The plug-in's result, or 2 when its blocks cannot be locked or do not
  // hold what their header describes.
  int Decode(PictureDecoder& decoder, const char* path) {
    SpiHandle info = nullptr, bits = nullptr;
    const int result = decoder.DecodeFile(path, &info, &bits);
    if (result != 0) return result;
    const ByteSpan infoBytes = Lock(info, &info_), pixelBytes = Lock(bits, &bits_);
    if (!infoBytes.data || !pixelBytes.data || !ReadPluginPicture(infoBytes, pixelBytes, &picture_)) return kRefused;
    return 0;
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

int ImageDocument::OpenImage(const char* path, int mode, Replaced* replaced) {
  Decoded decoded;
  const int result = decoded.Decode(decoder_, path);
  if (result != 0) return result;
  const bool alpha = HasAlphaChannel(decoded.picture().header);
  Replaced done = Replaced::Nothing;
  if ((mode & kMayBeForeground) && alpha && SetForeground(decoded)) {
    foregroundName_ = path;
    done = Replaced::Foreground;
  } else if ((mode & kMayBeBackground) && !alpha && SetBackground(decoded)) {
    backgroundName_ = path;
    done = Replaced::Background;
  }
  if (replaced) *replaced = done;
  return done == Replaced::Nothing ? kRefused : 0;
}

int ImageDocument::ForceForeground(const char* path) {
  Decoded decoded;
  const int result = decoded.Decode(decoder_, path);
  if (result != 0) return result;
  const bool taken =
      HasAlphaChannel(decoded.picture().header) ? SetForeground(decoded) : SetKeyedForeground(decoded.picture());
  if (!taken) return kRefused;
  foregroundName_ = path;
  return 0;
}

Replaced ImageDocument::PastePicture(ByteSpan block, std::string_view name) {
  DibPicture picture;
  if (!ReadPackedDib(block, &picture)) return Replaced::Nothing;
  if (HasAlphaChannel(picture.header)) {
    if (!SetForegroundCopy(picture)) return Replaced::Nothing;
    foregroundName_ = name;
    return Replaced::Foreground;
  }
  if (!SetBackgroundCopy(picture)) return Replaced::Nothing;
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
bool ImageDocument::SetForeground(Decoded& decoded) {
  const DibPicture& picture = decoded.picture();
  if (picture.topDown) FlipRows(decoded.pixels(), picture.stride, picture.height);
  if (!Premultiply(decoded.pixels(), picture)) return false;
  decoded.GiveBitsTo(foreground_);
  foregroundHeader_ = ForegroundHeader(picture);
  return true;
}

// Keyed pixels have alpha 0 or 255, which premultiplying leaves as they are.
bool ImageDocument::SetKeyedForeground(const DibPicture& picture) {
  size_t size;
  MovableBlock keyed;
  if (!DibImageSize(picture.width, picture.height, 32, &size) || !keyed.Allocate(size) ||
      !KeyForeground(picture, keyed.data()))
    return false;
  foreground_ = std::move(keyed);
  foregroundHeader_ = ForegroundHeader(picture);
  return true;
}

// The copy is premultiplied, never the source.
bool ImageDocument::SetForegroundCopy(const DibPicture& picture) {
  size_t size;
  MovableBlock copy;
  if (!DibImageSize(picture.width, picture.height, 32, &size) || !copy.Allocate(size)) return false;
  std::memcpy(copy.data(), picture.pixels, size);
  if (picture.topDown) FlipRows(copy.data(), picture.stride, picture.height);
  if (!Premultiply(copy.data(), picture)) return false;
  foreground_ = std::move(copy);
  foregroundHeader_ = ForegroundHeader(picture);
  return true;
}

// A 24-bit picture's rows are kept as they are (turned bottom-up if need
// be); any other depth is converted into a block of the document's own.
bool ImageDocument::SetBackground(Decoded& decoded) {
  const DibPicture& picture = decoded.picture();
  if (picture.header.biBitCount != 24) return SetBackgroundCopy(picture);
  if (picture.topDown) FlipRows(decoded.pixels(), picture.stride, picture.height);
  decoded.GiveBitsTo(background_);
  backgroundHeader_ = MakeBitmapInfoHeader(picture.width, picture.height, 24);
  return true;
}

// The new block is filled before the old one goes, so a background that
// cannot be converted or allocated leaves the previous one in place.
bool ImageDocument::SetBackgroundCopy(const DibPicture& picture) {
  size_t size;
  MovableBlock converted;
  if (!DibImageSize(picture.width, picture.height, 24, &size) || !converted.Allocate(size) ||
      !ConvertTo24(picture, converted.data()))
    return false;
  background_ = std::move(converted);
  backgroundHeader_ = MakeBitmapInfoHeader(picture.width, picture.height, 24);
  return true;
}
