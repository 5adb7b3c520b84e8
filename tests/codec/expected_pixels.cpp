#include "tests/codec/expected_pixels.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

uint32_t Get32(const Bytes& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

}  // namespace

ExpectedPicture ExpectFromBitmap(const Bytes& info, const Bytes& bits) {
  ExpectedPicture e;
  if (info.size() < 40) return e;
  const uint32_t headerSize = Get32(info, 0);
  const auto width = static_cast<int32_t>(Get32(info, 4));
  const auto height = static_cast<int32_t>(Get32(info, 8));
  const unsigned depth = info[14] | info[15] << 8;
  const uint32_t colours = Get32(info, 32);
  if (width <= 0 || height == 0 || Get32(info, 16) != 0) return e;
  e.width = static_cast<uint32_t>(width);
  e.height = static_cast<uint32_t>(std::abs(height));
  const size_t stride = (size_t{e.width} * depth + 31) / 32 * 4;
  if (bits.size() < stride * e.height) return e;
  switch (depth) {
    case 32: e.format = "32bppBGRA"; e.bytesPerPixel = 4; break;
    case 24: e.format = "24bppBGR"; e.bytesPerPixel = 3; break;
    case 16: e.format = "16bppBGR555"; e.bytesPerPixel = 2; break;
    case 1: case 2: case 4: case 8: e.format = "8bppIndexed"; e.bytesPerPixel = 1; break;
    default: return e;
  }
  if (depth <= 8) {
    const uint32_t addressable = 1u << depth;
    const uint32_t given = colours ? colours : addressable;
    for (uint32_t i = 0; i < addressable; ++i) {
      const size_t at = headerSize + 4 * size_t{i};
      e.palette.push_back(i < given && at + 4 <= info.size()
                              ? 0xFF000000u | info[at + 2] << 16 | info[at + 1] << 8 | info[at]
                              : 0xFF000000u);
    }
  }
  for (uint32_t y = 0; y < e.height; ++y) {
    const uint8_t* row = bits.data() + stride * (height > 0 ? e.height - 1 - y : y);
    for (uint32_t x = 0; x < e.width; ++x) {
      uint8_t pixel[4] = {0, 0, 0, 0xFF};
      if (depth <= 8) {
        const unsigned bitsAt = x * depth;
        const unsigned index = (row[bitsAt / 8] >> (8 - depth - bitsAt % 8)) & ((1u << depth) - 1);
        e.rows.push_back(static_cast<uint8_t>(index));
        const uint32_t c = e.palette[index];
        pixel[0] = c & 0xFF;
        pixel[1] = (c >> 8) & 0xFF;
        pixel[2] = (c >> 16) & 0xFF;
      } else if (depth == 16) {
        const unsigned v = row[2 * x] | row[2 * x + 1] << 8;
        e.rows.push_back(row[2 * x]);
        e.rows.push_back(row[2 * x + 1]);
        for (int c = 0; c < 3; ++c) pixel[c] = static_cast<uint8_t>(std::lround(((v >> (5 * c)) & 31) * 255.0 / 31));
      } else {
        for (unsigned c = 0; c < e.bytesPerPixel; ++c) {
          e.rows.push_back(row[x * e.bytesPerPixel + c]);
          pixel[c] = row[x * e.bytesPerPixel + c];
        }
      }
      e.bgra.insert(e.bgra.end(), pixel, pixel + 4);
    }
  }
  e.valid = true;
  return e;
}

void ExpectedThumbnailSize(uint32_t width, uint32_t height, uint32_t edge, uint32_t* outWidth, uint32_t* outHeight) {
  if (width <= edge && height <= edge) {
    *outWidth = width;
    *outHeight = height;
    return;
  }
  const double scale = static_cast<double>(edge) / (width > height ? width : height);
  *outWidth = width >= height ? edge : std::max<uint32_t>(1, static_cast<uint32_t>(std::lround(width * scale)));
  *outHeight = width >= height ? std::max<uint32_t>(1, static_cast<uint32_t>(std::lround(height * scale))) : edge;
}

std::vector<uint8_t> ReferenceReduction(const std::vector<uint8_t>& bgra, uint32_t width, uint32_t height,
                                        uint32_t outWidth, uint32_t outHeight) {
  std::vector<uint8_t> out;
  const double sx = static_cast<double>(width) / outWidth, sy = static_cast<double>(height) / outHeight;
  for (uint32_t oy = 0; oy < outHeight; ++oy) {
    for (uint32_t ox = 0; ox < outWidth; ++ox) {
      const double x0 = ox * sx, x1 = (ox + 1) * sx, y0 = oy * sy, y1 = (oy + 1) * sy;
      double alpha = 0, colour[3] = {0, 0, 0}, area = 0;
      for (auto y = static_cast<uint32_t>(y0); y < height && y < y1; ++y) {
        const double wy = std::min<double>(y + 1, y1) - std::max<double>(y, y0);
        for (auto x = static_cast<uint32_t>(x0); x < width && x < x1; ++x) {
          const double w = wy * (std::min<double>(x + 1, x1) - std::max<double>(x, x0));
          const uint8_t* p = &bgra[(size_t{y} * width + x) * 4];
          area += w;
          alpha += w * p[3];
          for (int c = 0; c < 3; ++c) colour[c] += w * p[3] * p[c];
        }
      }
      for (int c = 0; c < 3; ++c) out.push_back(alpha > 0 ? static_cast<uint8_t>(std::lround(colour[c] / alpha)) : 0);
      out.push_back(static_cast<uint8_t>(std::lround(alpha / area)));
    }
  }
  return out;
}

int LargestDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  if (a.size() != b.size()) return 256;
  int largest = 0;
  for (size_t i = 0; i < a.size(); i += 4) {
    const int start = a[i + 3] == 0 && b[i + 3] == 0 ? 3 : 0;
    for (int c = start; c < 4; ++c) largest = std::max(largest, std::abs(a[i + c] - b[i + c]));
  }
  return largest;
}
