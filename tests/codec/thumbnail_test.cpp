// Thumbnail sizes and the area-average reduction against the tests' own
// floating-point reference.
#include <gtest/gtest.h>

#include "codec/thumbnail.h"
#include "tests/codec/expected_pixels.h"
#include "tests/fixtures/picture.h"

namespace {

PictureView ViewOf(const Picture& p) {
  PictureView v;
  v.width = static_cast<uint32_t>(p.width);
  v.height = static_cast<uint32_t>(p.height);
  v.layout = PixelLayout::Bgra32;
  v.bytesPerPixel = 4;
  v.top = p.pixels.data();
  v.rowStep = p.width * 4;
  return v;
}

TEST(Thumbnail, FitsTheSquareKeepingTheAspectAndNeverEnlarges) {
  struct Case {
    uint32_t width, height, edge, outWidth, outHeight;
  };
  for (const Case& c : {Case{640, 480, 256, 256, 192}, Case{480, 640, 96, 72, 96}, Case{100, 100, 32, 32, 32},
                        Case{1000, 1, 32, 32, 1}, Case{1, 1000, 32, 1, 32}, Case{3, 2, 256, 3, 2},
                        Case{256, 10, 256, 256, 10}, Case{300, 200, 0, 1, 1}, Case{1001, 1000, 1000, 1000, 999}}) {
    const ThumbnailSize s = FitThumbnail(c.width, c.height, c.edge);
    EXPECT_EQ(s.width, c.outWidth) << c.width << "x" << c.height << " in " << c.edge;
    EXPECT_EQ(s.height, c.outHeight) << c.width << "x" << c.height << " in " << c.edge;
    uint32_t w, h;
    ExpectedThumbnailSize(c.width, c.height, c.edge ? c.edge : 1, &w, &h);
    EXPECT_EQ(w, s.width);
    EXPECT_EQ(h, s.height);
  }
}

TEST(Thumbnail, ReductionIsTheAreaAverageWithinOneStep) {
  struct Case {
    int width, height;
    uint32_t outWidth, outHeight;
  };
  for (const Case& c : {Case{640, 480, 256, 192}, Case{97, 61, 32, 20}, Case{10, 7, 3, 7}, Case{7, 7, 7, 7},
                        Case{5, 300, 1, 96}, Case{33, 33, 32, 32}, Case{1, 1, 1, 1}}) {
    const Picture p = NoisePicture(c.width, c.height, 4, static_cast<uint32_t>(c.width * 31 + c.height));
    std::vector<uint8_t> out(size_t{c.outWidth} * c.outHeight * 4);
    ASSERT_TRUE(ReduceToBgra(ViewOf(p), ThumbnailSize{c.outWidth, c.outHeight}, out.data()));
    const std::vector<uint8_t> reference =
        ReferenceReduction(p.pixels, uint32_t(c.width), uint32_t(c.height), c.outWidth, c.outHeight);
    EXPECT_LE(LargestDifference(out, reference), 1) << c.width << "x" << c.height;
  }
}

TEST(Thumbnail, TransparentColourDoesNotBleedIntoWhatIsSeen) {
  // Opaque blue beside fully transparent red: the average is half-covered blue.
  Picture p{2, 1, 4, {0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0}};
  uint8_t out[4];
  ASSERT_TRUE(ReduceToBgra(ViewOf(p), ThumbnailSize{1, 1}, out));
  EXPECT_EQ(out[0], 0xFF);
  EXPECT_EQ(out[2], 0);
  EXPECT_EQ(out[3], 0x80);
}

TEST(Thumbnail, EveryLayoutReadsAsStraightBgra) {
  const uint8_t bgr[] = {1, 2, 3, 4, 5, 6};
  const uint8_t bgr555[] = {0x1F, 0x7C};  // blue 31, red 31, green 0
  const uint8_t indices[] = {1, 0, 200};
  PictureView v;
  v.height = 1;
  uint8_t out[12];
  v.layout = PixelLayout::Bgr24, v.width = 2, v.top = bgr;
  RowToBgra(v, 0, out);
  EXPECT_EQ(std::vector<uint8_t>(out, out + 8), (std::vector<uint8_t>{1, 2, 3, 255, 4, 5, 6, 255}));
  v.layout = PixelLayout::Bgr555, v.width = 1, v.top = bgr555;
  RowToBgra(v, 0, out);
  EXPECT_EQ(std::vector<uint8_t>(out, out + 4), (std::vector<uint8_t>{255, 0, 255, 255}));
  v.layout = PixelLayout::Indexed8, v.width = 3, v.top = indices;
  v.palette[0] = 0xFF010203;
  v.palette[1] = 0xFF040506;
  v.paletteCount = 2;  // index 200 lies past it: black
  RowToBgra(v, 0, out);
  EXPECT_EQ(std::vector<uint8_t>(out, out + 12), (std::vector<uint8_t>{6, 5, 4, 255, 3, 2, 1, 255, 0, 0, 0, 255}));
}

TEST(Thumbnail, RefusesSizesLargerThanThePicture) {
  const Picture p = NoisePicture(4, 4, 4, 1);
  uint8_t out[100];
  EXPECT_FALSE(ReduceToBgra(ViewOf(p), ThumbnailSize{5, 4}, out));
  EXPECT_FALSE(ReduceToBgra(ViewOf(p), ThumbnailSize{4, 0}, out));
}

}  // namespace
