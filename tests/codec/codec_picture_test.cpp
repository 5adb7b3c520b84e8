// The decoded bitmap as WIC pixels: every sample against the plug-in's own
// output, bitmap layouts made by hand, and CopyPixels' checks.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "codec/codec_picture.h"
#include "platform/test_hooks.h"
#include "tests/codec/expected_pixels.h"
#include "tests/fixtures/all_samples.h"
#include "tests/support/plugin_api.h"

namespace {

std::string FormatName(PixelLayout layout) {
  switch (layout) {
    case PixelLayout::Bgra32: return "32bppBGRA";
    case PixelLayout::Bgr24: return "24bppBGR";
    case PixelLayout::Bgr555: return "16bppBGR555";
    case PixelLayout::Indexed8: return "8bppIndexed";
  }
  return "";
}

Bytes Rows(const PictureView& v) {
  Bytes rows;
  for (uint32_t y = 0; y < v.height; ++y) rows.insert(rows.end(), v.Row(y), v.Row(y) + size_t{v.width} * v.bytesPerPixel);
  return rows;
}

// The seeds: every decoder, small. The Windows test compares every sample.
const NamedFiles& SmallFiles() {
  static const NamedFiles files = AllSeeds();
  return files;
}

TEST(CodecPicture, EverySampleGivesThePluginsPixelsTopRowFirst) {
  const NamedFiles& files = SmallFiles();
  std::set<std::string> formats;
  for (const auto& [name, bytes] : files) {
    const Decoded plugin = DecodeMemory(bytes);
    CodecPicture picture;
    const CodecStatus status = picture.Decode(ByteSpan{bytes.data(), bytes.size()});
    if (plugin.result != 0) {
      EXPECT_NE(status, CodecStatus::Ok) << name;
      continue;
    }
    const ExpectedPicture expected = ExpectFromBitmap(plugin.info, plugin.bits);
    ASSERT_TRUE(expected.valid) << name;
    ASSERT_EQ(status, CodecStatus::Ok) << name;
    const PictureView& v = picture.view();
    formats.insert(expected.format);
    EXPECT_EQ(FormatName(v.layout), expected.format) << name;
    EXPECT_EQ(v.width, expected.width) << name;
    EXPECT_EQ(v.height, expected.height) << name;
    EXPECT_EQ(Rows(v), expected.rows) << name;
    EXPECT_EQ(std::vector<uint32_t>(v.palette, v.palette + v.paletteCount), expected.palette) << name;
  }
  EXPECT_EQ(formats, (std::set<std::string>{"32bppBGRA", "24bppBGR", "16bppBGR555", "8bppIndexed"}));
}

TEST(CodecPicture, EveryFailedAllocationIsOutOfMemoryAndLeavesNothing) {
  for (const auto& [name, bytes] : SmallFiles()) {
    for (int n = 1;; ++n) {
      const int live = platform::test::LiveAllocations();
      CodecStatus status;
      {
        CodecPicture picture;
        platform::test::FailAllocationNumber(n);
        status = picture.Decode(ByteSpan{bytes.data(), bytes.size()});
        platform::test::FailAllocationNumber(0);
      }
      EXPECT_EQ(platform::test::LiveAllocations(), live) << name << " " << n;
      if (status != CodecStatus::OutOfMemory) break;
      ASSERT_LT(n, 50) << name;
    }
  }
}

// A bitmap's two blocks made by hand.
struct Bitmap {
  Bytes info;
  Bytes bits;
};

Bitmap MakeBitmap(int32_t width, int32_t height, unsigned depth, uint32_t colours = 0, uint32_t tableEntries = 0,
                  uint32_t compression = 0) {
  Bitmap b;
  PutLe32(b.info, 40);
  PutLe32(b.info, static_cast<uint32_t>(width));
  PutLe32(b.info, static_cast<uint32_t>(height));
  PutLe16(b.info, 1);
  PutLe16(b.info, depth);
  PutLe32(b.info, compression);
  PutLe32(b.info, 0);
  PutLe32(b.info, 3780);  // 96.012 dpi across
  PutLe32(b.info, 0);     // none given down
  PutLe32(b.info, colours);
  PutLe32(b.info, 0);
  for (uint32_t i = 0; i < tableEntries; ++i) PutLe32(b.info, 0x00102030u * (i + 1));
  const size_t stride = (size_t(width > 0 ? width : 0) * depth + 31) / 32 * 4;
  b.bits.resize(stride * size_t(height < 0 ? -int64_t{height} : height));
  for (size_t i = 0; i < b.bits.size(); ++i) b.bits[i] = static_cast<uint8_t>(i * 13 + 1);
  return b;
}

CodecStatus Describe(const Bitmap& b, PictureView* view, HeapBuffer* widened) {
  return DescribeBitmap(ByteSpan{b.info.data(), b.info.size()}, ByteSpan{b.bits.data(), b.bits.size()}, view, widened);
}

TEST(CodecPicture, EveryDepthAndRowOrderReadsAsTheTestWorksItOut) {
  for (unsigned depth : {1u, 2u, 4u, 8u, 16u, 24u, 32u}) {
    for (int32_t height : {3, -3}) {
      const uint32_t table = depth <= 8 ? 3 : 0;  // a short table: the rest is black
      const Bitmap b = MakeBitmap(13, height, depth, table, table);
      PictureView v;
      HeapBuffer widened;
      ASSERT_EQ(Describe(b, &v, &widened), CodecStatus::Ok) << depth << " " << height;
      const ExpectedPicture e = ExpectFromBitmap(b.info, b.bits);
      EXPECT_EQ(FormatName(v.layout), e.format);
      EXPECT_EQ(Rows(v), e.rows) << depth << " " << height;
      EXPECT_EQ(std::vector<uint32_t>(v.palette, v.palette + v.paletteCount), e.palette);
      EXPECT_NEAR(v.dpiX, 96.012, 1e-9);
      EXPECT_EQ(v.dpiY, 96.0);
    }
  }
}

TEST(CodecPicture, RefusesBitmapsItCannotDescribe) {
  PictureView v;
  HeapBuffer widened;
  EXPECT_EQ(Describe(MakeBitmap(4, 4, 32, 0, 3, 3), &v, &widened), CodecStatus::UnsupportedPixels) << "bit fields";
  EXPECT_EQ(Describe(MakeBitmap(4, 4, 12), &v, &widened), CodecStatus::UnsupportedPixels);
  EXPECT_EQ(Describe(MakeBitmap(0, 4, 24), &v, &widened), CodecStatus::BadImage);
  EXPECT_EQ(Describe(MakeBitmap(4, 0, 24), &v, &widened), CodecStatus::BadImage);
  Bitmap tooFew = MakeBitmap(5, 5, 24);
  tooFew.bits.pop_back();
  EXPECT_EQ(Describe(tooFew, &v, &widened), CodecStatus::BadImage);
  Bitmap lowest = MakeBitmap(1, 1, 8);
  lowest.info[8] = lowest.info[9] = lowest.info[10] = 0;
  lowest.info[11] = 0x80;  // INT32_MIN rows
  EXPECT_EQ(Describe(lowest, &v, &widened), CodecStatus::BadImage);
  Bitmap longHeader = MakeBitmap(2, 2, 24);
  longHeader.info[0] = 124;  // a header longer than its block
  EXPECT_EQ(Describe(longHeader, &v, &widened), CodecStatus::BadImage);
  Bitmap huge = MakeBitmap(1, 1, 32);
  huge.info[4] = huge.info[5] = huge.info[6] = 0xFF;
  huge.info[7] = 0x7F;  // rows past the picture cap
  EXPECT_EQ(Describe(huge, &v, &widened), CodecStatus::BadImage);
  EXPECT_EQ(DescribeBitmap(ByteSpan{huge.info.data(), 39}, ByteSpan{}, &v, &widened), CodecStatus::BadImage);
}

TEST(CodecPicture, NothingThatIsNoLeafPictureDecodes) {
  const Bytes noise = {'P', 'N', 'G', 0, 1, 2, 3};
  CodecPicture picture;
  EXPECT_EQ(picture.Decode(ByteSpan{noise.data(), noise.size()}), CodecStatus::NotRecognised);
  EXPECT_FALSE(CanDecode(ByteSpan{noise.data(), noise.size()}));
  for (const auto& [name, bytes] : SmallFiles()) {
    const size_t head = std::min<size_t>(bytes.size(), 2048);
    EXPECT_TRUE(CanDecode(ByteSpan{bytes.data(), head})) << name;
    // Cut in the middle: recognised, but no picture.
    CodecPicture cut;
    EXPECT_NE(cut.Decode(ByteSpan{bytes.data(), bytes.size() / 2}), CodecStatus::Ok) << name;
  }
}

// A 5 × 4 picture of 3 bytes a pixel whose byte values say where they lie.
struct CopyCase : ::testing::Test {
  CopyCase() {
    for (uint32_t y = 0; y < 4; ++y)
      for (uint32_t x = 0; x < 15; ++x) pixels[y][x] = static_cast<uint8_t>(y * 16 + x);
    view.width = 5;
    view.height = 4;
    view.layout = PixelLayout::Bgr24;
    view.bytesPerPixel = 3;
    view.top = pixels[0];
    view.rowStep = 16;
  }
  uint8_t pixels[4][16] = {};
  PictureView view;
};

TEST_F(CopyCase, CopiesAnyRectangleAtAnyStride) {
  uint8_t out[200];
  std::memset(out, 0xEE, sizeof out);
  const PixelRect rect{1, 2, 3, 2};
  ASSERT_EQ(CopyPixels(view, &rect, 20, 29, out), CodecStatus::Ok);  // 20 + 9: exactly enough
  for (int y = 0; y < 2; ++y)
    for (int i = 0; i < 9; ++i) EXPECT_EQ(out[y * 20 + i], (2 + y) * 16 + 3 + i);
  EXPECT_EQ(out[9], 0xEE) << "the stride's gap is left alone";
  ASSERT_EQ(CopyPixels(view, nullptr, 15, 60, out), CodecStatus::Ok);
  EXPECT_EQ(out[59], 3 * 16 + 14);
}

TEST_F(CopyCase, ChecksEveryArgument) {
  uint8_t out[200];
  const PixelRect inside{0, 0, 5, 4};
  EXPECT_EQ(CopyPixels(view, &inside, 15, 60, nullptr), CodecStatus::InvalidArgument);
  EXPECT_EQ(CopyPixels(view, &inside, 14, 200, out), CodecStatus::InvalidArgument) << "stride shorter than a row";
  EXPECT_EQ(CopyPixels(view, &inside, 15, 59, out), CodecStatus::BufferTooSmall);
  for (const PixelRect& r : {PixelRect{-1, 0, 1, 1}, PixelRect{0, -1, 1, 1}, PixelRect{4, 0, 2, 1},
                             PixelRect{0, 3, 1, 2}, PixelRect{0, 0, -1, 1}, PixelRect{0, 0, 1, -1},
                             PixelRect{INT32_MAX, 0, INT32_MAX, 1}, PixelRect{1, 1, INT32_MAX, 1}})
    EXPECT_EQ(CopyPixels(view, &r, 15, 200, out), CodecStatus::InvalidArgument) << r.x << "," << r.y;
  // The rows' extent is reckoned without wrapping.
  EXPECT_EQ(CopyPixels(view, &inside, 0x80000000u, 200, out), CodecStatus::BufferTooSmall);
  // An empty rectangle copies nothing and is no failure.
  std::memset(out, 0xEE, sizeof out);
  const PixelRect empty{2, 2, 0, 1};
  EXPECT_EQ(CopyPixels(view, &empty, 0, 0, out), CodecStatus::Ok);
  EXPECT_EQ(out[0], 0xEE);
}

}  // namespace
