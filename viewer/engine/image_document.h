// The viewer's model: at most one foreground and one background picture,
// each held as its pixel rows in a locked movable block with the header
// that describes them and the name it came from. A foreground is 32-bit
// blue, green, red, alpha with the colour premultiplied by alpha; a
// background is 24-bit blue, green, red. Both are stored bottom row first.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/bytes.h"
#include "viewer/engine/dib.h"
#include "viewer/engine/movable_block.h"
#include "viewer/engine/picture_decoder.h"

// What OpenImage may make of a picture.
enum OpenMode : int {
  kMayBeBackground = 1,
  kMayBeForeground = 2,
};

// Which picture an operation replaced, so that the view can centre a new
// foreground or make the composite surface for a new background.
enum class Replaced { Nothing, Foreground, Background };

class ImageDocument {
 public:
  explicit ImageDocument(PictureDecoder& decoder) : decoder_(decoder) {}

  // Decodes the file through the plug-ins. A picture with an alpha channel
  // becomes the foreground when the mode allows it, any other picture the
  // background when the mode allows that. Ok on success; the plug-in's
  // code when decoding fails; kRefused when the picture is refused (or
  // cannot be taken in); OutOfMemory when there is no memory to take it
  // in. The pictures held are unchanged unless it succeeds.
  SpiResult OpenImage(const char* path, int mode, Replaced* replaced = nullptr);
  // Opens the file as the foreground whether or not it has alpha: a
  // picture without is keyed (palette index 0, or the colour of its first
  // stored pixel, becomes transparent). Ok, the plug-in's code, kRefused or
  // OutOfMemory.
  SpiResult ForceForeground(const char* path);
  // Takes a packed bitmap (as the clipboard holds it) as a copy: with
  // alpha it becomes the foreground, otherwise the background, named
  // `name`. The block itself is not changed.
  Replaced PastePicture(ByteSpan block, std::string_view name);
  // Removes both pictures; their names stay but describe nothing.
  void ClearImages();

  bool HasForeground() const { return foreground_.Holds(); }
  bool HasBackground() const { return background_.Holds(); }
  // Valid only while the picture is held.
  Bgra32View foreground() const {
    return Bgra32Of(foreground_.data(), foregroundHeader_.biWidth, foregroundHeader_.biHeight);
  }
  Bgr24View background() const {
    return Bgr24Of(background_.data(), backgroundHeader_.biWidth, backgroundHeader_.biHeight);
  }
  const BitmapInfoHeader& foregroundHeader() const { return foregroundHeader_; }
  const BitmapInfoHeader& backgroundHeader() const { return backgroundHeader_; }
  const std::string& foregroundName() const { return foregroundName_; }
  const std::string& backgroundName() const { return backgroundName_; }

  // The main window's caption for the pictures held.
  std::string Caption(std::string_view productName) const;

 private:
  class Decoded;
  // Each keeps what it held when it fails.
  // Each Ok, kRefused for a picture it cannot take, or OutOfMemory.
  SpiResult SetForeground(Decoded& decoded);
  SpiResult SetKeyedForeground(const DibPicture& picture);
  SpiResult SetForegroundCopy(const DibPicture& picture);
  SpiResult SetBackground(Decoded& decoded);
  SpiResult SetBackgroundCopy(const DibPicture& picture);

  PictureDecoder& decoder_;
  MovableBlock background_;
  MovableBlock foreground_;
  std::string foregroundName_;
  std::string backgroundName_;
  BitmapInfoHeader backgroundHeader_{};
  BitmapInfoHeader foregroundHeader_{};
};
