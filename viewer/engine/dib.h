// Device-independent bitmaps as the viewer takes them in: the header
// record, row arithmetic, and the checked intake of a decoded picture from
// a plug-in's two blocks or from a packed DIB off the clipboard.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/bytes.h"
#include "base/sizes.h"

// BITMAPINFOHEADER, byte for byte. The type and the constants below carry
// names of their own so that this header can sit beside <windows.h>, which
// defines BITMAPINFOHEADER, BI_RGB and BI_BITFIELDS itself.
#pragma pack(push, 1)
struct BitmapInfoHeader {
  uint32_t biSize;
  int32_t biWidth;
  int32_t biHeight;  // negative: rows stored top first
  uint16_t biPlanes;
  uint16_t biBitCount;
  uint32_t biCompression;
  uint32_t biSizeImage;
  int32_t biXPelsPerMeter;
  int32_t biYPelsPerMeter;
  uint32_t biClrUsed;
  uint32_t biClrImportant;
};
#pragma pack(pop)
static_assert(sizeof(BitmapInfoHeader) == 40, "BITMAPINFOHEADER is 40 bytes");

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

// biSize 40, one plane, the given size and depth, BI_RGB, every other field 0.
BitmapInfoHeader MakeBitmapInfoHeader(int32_t width, int32_t height, uint16_t bitCount);

// True for 32 bits with BI_RGB, or BI_BITFIELDS with a header long enough
// (56 bytes) to hold the alpha mask.
bool HasAlphaChannel(const BitmapInfoHeader& header);

struct ChannelMasks {
  uint32_t red = 0;
  uint32_t green = 0;
  uint32_t blue = 0;
  uint32_t alpha = 0;
};

// A decoded picture that passed the intake: every pointer and size below is
// inside the blocks it was read from, and its 32-bit form is within the
// picture size cap (kMaxPictureBytes), so the 24-bit and 32-bit buffers
// made from it are too.
struct DibPicture {
  BitmapInfoHeader header{};  // as stored; biHeight keeps its sign
  int32_t width = 0;
  int32_t height = 0;               // number of rows, always positive
  bool topDown = false;             // rows stored top first (negative biHeight)
  size_t stride = 0;                // bytes per stored row, padded to 4
  const uint8_t* pixels = nullptr;  // height × stride bytes
  // BI_BITFIELDS pictures bring their own masks. BI_RGB pictures get the
  // fixed layout of their depth (32 bits: 0x00FF0000, 0x0000FF00,
  // 0x000000FF, 0xFF000000; 16 bits: 0x7C00, 0x03E0, 0x001F, no alpha),
  // so the conversions decide by the masks alone.
  ChannelMasks masks;
  const uint8_t* colourTable = nullptr;  // RGBQUAD entries (blue, green, red, reserved)
  uint32_t colourCount = 0;              // entries present; a larger index reads as black
};

// The document's own pictures and the buffers made from them, rows
// bottom-up, with their sizes.
// Background: 24-bit blue, green, red; rows padded to 4 bytes.
struct Bgr24View {
  const uint8_t* pixels = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  size_t stride = 0;  // bytes of one row
  size_t bytes = 0;   // bytes of all rows
};
// Foreground: 32-bit blue, green, red, alpha, colour premultiplied by
// alpha; rows of 4 × width bytes.
struct Bgra32View {
  const uint8_t* pixels = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  size_t stride = 0;
  size_t bytes = 0;
};

// Views of rows of that size, their sizes reckoned by the checked size
// helpers: a view of no rows (stride and bytes 0) where the size is not
// positive or passes the picture size cap, which a picture that passed the
// intake never does.
Bgr24View Bgr24Of(const uint8_t* pixels, int32_t width, int32_t height);
Bgra32View Bgra32Of(const uint8_t* pixels, int32_t width, int32_t height);

// Takes in a plug-in's result: `info` holds the header followed by the
// colour table (at biSize) or the channel masks (at bytes 40, 44, 48 and,
// with a header of at least 56 bytes, the alpha mask at 52); `pixels` holds
// the rows. Each span is the whole block as allocated. False when the
// header is malformed or of a kind the viewer cannot use, when a block is
// too short for what the header says, or when a size exceeds kMaxPictureBytes;
// `picture` is then left as it was.
bool ReadPluginPicture(ByteSpan info, ByteSpan pixels, DibPicture* picture);

// Takes in a packed DIB (the clipboard's CF_DIB): header; for BI_BITFIELDS
// after a 40-byte header the three masks; the colour table of biClrUsed
// entries (2^bits when biClrUsed is 0 and bits ≤ 8); then the rows. Fails
// as ReadPluginPicture does, and also when the table does not fit.
bool ReadPackedDib(ByteSpan block, DibPicture* picture);

// Reverses the order of `rows` rows of `stride` bytes in place. Pictures
// stored top first (common from WIC decoders and the clipboard) are taken
// in and held bottom-up like every other: the conversions read them in the
// right order themselves, and a block the document keeps as it is (a
// 24-bit background, a 32-bit foreground or its copy) is flipped once with
// this when it is taken in.
void FlipRows(uint8_t* pixels, size_t stride, int32_t rows);

// The header the document keeps for a foreground made from a decoded
// picture or from a keyed copy of one: a fresh 32-bit header of the
// picture's size, rows bottom-up, which also keeps the resolution of a
// 40-byte BI_RGB header. Nothing else of the source (its depth, colour
// count, image size) describes the 32-bit rows the document holds.
BitmapInfoHeader ForegroundHeader(const DibPicture& picture);
