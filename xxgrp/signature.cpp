#include "xxgrp/signature.h"

#include <cstring>

namespace {

bool StartsWith(ByteSpan header, const char* magic, size_t length) {
  return header.Has(0, length) && std::memcmp(header.data, magic, length) == 0;
}

// "BM" alone starts too many other files; the size of the header that
// follows the 14-byte file header must be one of the known bitmap headers.
bool IsBmp(ByteSpan header) {
  if (!StartsWith(header, "BM", 2) || !header.Has(14, 4)) return false;
  switch (Le32(header.data + 14)) {
    case 12:   // BITMAPCOREHEADER
    case 40:   // BITMAPINFOHEADER
    case 52:   // with RGB masks
    case 56:   // with RGBA masks
    case 108:  // BITMAPV4HEADER
    case 124:  // BITMAPV5HEADER
      return true;
    default:
      return false;
  }
}

bool IsPng(ByteSpan header) { return StartsWith(header, "\x89PNG\r\n\x1a\n", 8); }

bool IsJpeg(ByteSpan header) { return StartsWith(header, "\xFF\xD8\xFF", 3); }

bool IsGif(ByteSpan header) { return StartsWith(header, "GIF87a", 6) || StartsWith(header, "GIF89a", 6); }

bool IsTiff(ByteSpan header) { return StartsWith(header, "II*\0", 4) || StartsWith(header, "MM\0*", 4); }

// Reserved word 0, type 1 (icon), at least one entry whose reserved byte is 0.
bool IsIco(ByteSpan header) {
  if (!StartsWith(header, "\0\0\1\0", 4) || !header.Has(6, 16)) return false;
  return Le16(header.data + 4) > 0 && header.data[6 + 3] == 0;
}

}  // namespace

bool HasKnownSignature(ByteSpan header) {
  return IsPng(header) || IsJpeg(header) || IsGif(header) || IsBmp(header) || IsTiff(header) || IsIco(header);
}
