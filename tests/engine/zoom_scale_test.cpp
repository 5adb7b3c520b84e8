#include "viewer/engine/zoom_scale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

// A picture of random bytes, rows bottom-up with the given stride.
struct TestPicture {
  TestPicture(int32_t w, int32_t h, int bpp, size_t padding = 0, unsigned seed = 1)
      : width(w), height(h), bytesPerPixel(bpp), stride(static_cast<size_t>(w) * bpp + padding) {
    std::mt19937 random(seed);
    bytes.resize(stride * h);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
  }
  ScaleSource source() const { return {bytes.data(), width, height, stride, bytesPerPixel}; }
  // Channel c of the pixel at (x, y), y from the top.
  int At(int32_t x, int32_t y, int c) const {
    return bytes[static_cast<size_t>(height - 1 - y) * stride + static_cast<size_t>(x) * bytesPerPixel + c];
  }
  int32_t width, height;
  int bytesPerPixel;
  size_t stride;
  std::vector<uint8_t> bytes;
};

int32_t ZoomedOf(int32_t size, Scale s) { return static_cast<int32_t>((int64_t{size} * s.num + s.den - 1) / s.den); }

std::vector<uint32_t> Made(const TestPicture& picture, Scale scale, ScaleRegion region, int32_t rowsACall = 1 << 30,
                           bool simd = true) {
  ZoomScaler scaler(simd);
  std::vector<uint32_t> out(static_cast<size_t>(region.width) * region.height, 0xDEADBEEF);
  EXPECT_TRUE(scaler.Begin(picture.source(), scale, region));
  for (int32_t y = 0; y < region.height; y += rowsACall) {
    scaler.NextRows(rowsACall, out.data() + static_cast<size_t>(y) * region.width);
  }
  return out;
}

int Channel(uint32_t pixel, int c) { return static_cast<int>(pixel >> (8 * c) & 0xFF); }

// The exact area average of the picture pixels under window pixel (x, y).
double Reference(const TestPicture& picture, Scale s, int32_t x, int32_t y, int c) {
  const double scale = static_cast<double>(s.num) / s.den;
  const double left = x / scale, right = std::min<double>((x + 1) / scale, picture.width);
  const double top = y / scale, bottom = std::min<double>((y + 1) / scale, picture.height);
  double sum = 0;
  for (int32_t j = static_cast<int32_t>(top); j < bottom; ++j) {
    const double h = std::min<double>(bottom, j + 1) - std::max<double>(top, j);
    for (int32_t i = static_cast<int32_t>(left); i < right; ++i) {
      const double w = std::min<double>(right, i + 1) - std::max<double>(left, i);
      sum += w * h * picture.At(i, j, c);
    }
  }
  return sum / ((right - left) * (bottom - top));
}

// Whole factors repeat each picture pixel exactly, for any region, in
// either pixel size; the fourth byte is never shown.
TEST(ZoomScaler, WholeFactorsRepeatEachPixel) {
  for (int bpp : {3, 4}) {
    const TestPicture picture(23, 17, bpp, bpp == 3 ? 3 : 0);
    for (int32_t factor : {1, 2, 3, 8}) {
      const Scale scale{factor, 1};
      const int32_t zw = ZoomedOf(23, scale), zh = ZoomedOf(17, scale);
      for (const ScaleRegion region : {ScaleRegion{0, 0, zw, zh}, ScaleRegion{factor + 1, 2 * factor - 1, 7, 5},
                                       ScaleRegion{zw - 3, zh - 1, 3, 1}}) {
        const std::vector<uint32_t> out = Made(picture, scale, region, 3);
        for (int32_t y = 0; y < region.height; ++y) {
          for (int32_t x = 0; x < region.width; ++x) {
            const uint32_t pixel = out[static_cast<size_t>(y) * region.width + x];
            const int32_t px = (region.left + x) / factor, py = (region.top + y) / factor;
            ASSERT_EQ(pixel >> 24, 0u);
            for (int c = 0; c < 3; ++c) {
              ASSERT_EQ(Channel(pixel, c), picture.At(px, py, c))
                  << "factor " << factor << " bpp " << bpp << " at " << region.left + x << "," << region.top + y;
            }
          }
        }
      }
    }
  }
}

// Every other scale: within one level of the exact area average, for the
// steps and for fitted scales, over the whole picture and over a region.
TEST(ZoomScaler, OtherScalesAreTheAreaAverage) {
  const TestPicture picture(61, 43, 3, 1, 7), withAlpha(61, 43, 4, 0, 9);
  for (const TestPicture* p : {&picture, &withAlpha}) {
    for (const Scale scale : {Scale{1, 4}, Scale{1, 3}, Scale{1, 2}, Scale{2, 3}, Scale{3, 2}, Scale{25, 48},
                              Scale{1037, 1920}, Scale{1, 61}}) {
      const int32_t zw = ZoomedOf(p->width, scale), zh = ZoomedOf(p->height, scale);
      for (const ScaleRegion region :
           {ScaleRegion{0, 0, zw, zh}, ScaleRegion{zw / 3, zh / 2, zw - zw / 3, zh - zh / 2}}) {
        const std::vector<uint32_t> out = Made(*p, scale, region, 2);
        double worst = 0;
        for (int32_t y = 0; y < region.height; ++y) {
          for (int32_t x = 0; x < region.width; ++x) {
            const uint32_t pixel = out[static_cast<size_t>(y) * region.width + x];
            ASSERT_EQ(pixel >> 24, 0u);
            for (int c = 0; c < 3; ++c) {
              const double want = Reference(*p, scale, region.left + x, region.top + y, c);
              worst = std::max(worst, std::abs(Channel(pixel, c) - want));
            }
          }
        }
        EXPECT_LE(worst, 1.0) << scale.num << "/" << scale.den << " bpp " << p->bytesPerPixel;
      }
    }
  }
}

// A flat colour stays exactly that colour at every scale (the shares add
// up to one), 50 % is the mean of each 2 × 2 block, and the last window
// pixel, partly past the picture, averages only what it covers.
TEST(ZoomScaler, ExactWhereTheArithmeticIsExact) {
  TestPicture flat(13, 9, 3, 1);
  for (int32_t y = 0; y < flat.height; ++y) {
    for (int32_t x = 0; x < flat.width; ++x) {
      uint8_t* p = &flat.bytes[static_cast<size_t>(y) * flat.stride + static_cast<size_t>(x) * 3];
      p[0] = 255, p[1] = 40, p[2] = 80;
    }
  }
  for (const Scale scale : {Scale{1, 4}, Scale{1, 3}, Scale{2, 3}, Scale{3, 2}, Scale{7, 13}}) {
    const ScaleRegion region{0, 0, ZoomedOf(13, scale), ZoomedOf(9, scale)};
    for (uint32_t pixel : Made(flat, scale, region)) ASSERT_EQ(pixel, 0x5028FFu) << scale.num << "/" << scale.den;
  }

  const TestPicture picture(5, 4, 3);
  const std::vector<uint32_t> half = Made(picture, {1, 2}, {0, 0, 3, 2});
  for (int c = 0; c < 3; ++c) {
    const int sum = picture.At(0, 0, c) + picture.At(1, 0, c) + picture.At(0, 1, c) + picture.At(1, 1, c);
    EXPECT_LE(std::abs(Channel(half[0], c) * 4 - sum), 2) << "the block's mean, rounded";
    EXPECT_EQ(Channel(half[2], c), (picture.At(4, 0, c) + picture.At(4, 1, c) + 1) / 2)
        << "the last column is half a window pixel";
  }
}

// The processor's vector steps give the plain loops' rows, byte for byte.
TEST(ZoomScaler, VectorStepsMakeThePlainLoopsRows) {
  for (int bpp : {3, 4}) {
    const TestPicture picture(97, 31, bpp, bpp == 3 ? 1 : 0, 11);
    for (const Scale scale : {Scale{1, 4}, Scale{1, 3}, Scale{2, 5}, Scale{1, 2}, Scale{2, 3}, Scale{3, 2}, Scale{79, 96},
                              Scale{1, 9}}) {
      const ScaleRegion region{1, 1, ZoomedOf(97, scale) - 1, ZoomedOf(31, scale) - 1};
      EXPECT_EQ(Made(picture, scale, region, 4, true), Made(picture, scale, region, 4, false))
          << scale.num << "/" << scale.den << " bpp " << bpp;
    }
  }
}

TEST(ZoomScaler, RegionsOutsideTheZoomedPictureAreRefused) {
  const TestPicture picture(10, 8, 3);
  ZoomScaler scaler;
  EXPECT_TRUE(scaler.Begin(picture.source(), {1, 3}, {0, 0, 4, 3}));
  EXPECT_FALSE(scaler.Begin(picture.source(), {1, 3}, {0, 0, 5, 3})) << "ceil(10 / 3) is 4";
  EXPECT_FALSE(scaler.Begin(picture.source(), {2, 1}, {19, 0, 2, 1}));
  EXPECT_FALSE(scaler.Begin(picture.source(), {2, 1}, {-1, 0, 2, 1}));
  EXPECT_FALSE(scaler.Begin(picture.source(), {2, 1}, {0, 0, 0, 1}));
  EXPECT_FALSE(scaler.Begin(picture.source(), {0, 1}, {0, 0, 1, 1}));
  ScaleSource odd = picture.source();
  odd.bytesPerPixel = 2;
  EXPECT_FALSE(scaler.Begin(odd, {1, 1}, {0, 0, 1, 1}));
  EXPECT_FALSE(scaler.Begin(ScaleSource{}, {1, 1}, {0, 0, 1, 1}));
}

// Asking for more rows than are left makes only those.
TEST(ZoomScaler, NoRowsPastTheRegion) {
  const TestPicture picture(6, 6, 3);
  for (const Scale scale : {Scale{2, 1}, Scale{2, 3}}) {
    ZoomScaler scaler;
    ASSERT_TRUE(scaler.Begin(picture.source(), scale, {0, 0, 4, 3}));
    std::vector<uint32_t> out(4 * 4, 0xDEADBEEF);
    scaler.NextRows(2, out.data());
    scaler.NextRows(5, out.data() + 8);
    EXPECT_EQ(out[12], 0xDEADBEEF);
    EXPECT_NE(out[11], 0xDEADBEEF);
  }
}

}  // namespace
