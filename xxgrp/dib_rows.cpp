#include "xxgrp/dib_rows.h"

#include <windows.h>

#include <cstring>
#include <limits>

#include "base/sizes.h"

namespace {

bool HasWritableLayout(const BITMAPINFOHEADER& header) {
  return header.biSize >= sizeof(BITMAPINFOHEADER) && header.biPlanes == 1 && header.biCompression == BI_RGB &&
         (header.biBitCount == 24 || header.biBitCount == 32) && header.biWidth > 0 && header.biHeight != 0 &&
         header.biHeight != std::numeric_limits<LONG>::min();
}

}  // namespace

bool ReadDibRows(const void* header, const void* pixels, DibRows* rows) {
  BITMAPINFOHEADER info;
  std::memcpy(&info, header, sizeof info);  // the caller's header need not be aligned
  if (!HasWritableLayout(info)) return false;
  const uint32_t width = static_cast<uint32_t>(info.biWidth);
  const uint32_t height = static_cast<uint32_t>(info.biHeight < 0 ? -info.biHeight : info.biHeight);
  size_t stride, thirtyTwoBitBytes;
  if (!DibRowBytes(width, info.biBitCount, &stride) || !DibPictureBytes(width, height, 32, &thirtyTwoBitBytes))
    return false;
  rows->width = width;
  rows->height = height;
  rows->bytesPerPixel = info.biBitCount / 8;
  rows->stride = stride;
  rows->topDown = info.biHeight < 0;
  rows->pixelsPerMeterX = info.biXPelsPerMeter;
  rows->pixelsPerMeterY = info.biYPelsPerMeter;
  rows->pixels = static_cast<const uint8_t*>(pixels);
  return true;
}
