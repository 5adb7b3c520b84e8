// The document with a stand-in for the plug-ins: which picture a decoded
// file becomes, what is kept when something fails, what the caption says,
// and what the output commands are given. The plug-in blocks come from the
// native stand-in of movable memory, which counts every block alive and can
// make a chosen allocation fail.
#include <map>
#include <string>

#include "platform/platform.h"
#include "platform/test_hooks.h"
#include "tests/engine/dib_blocks.h"
#include "viewer/engine/image_document.h"
#include "viewer/engine/output.h"

namespace {

// A plug-in's answer for one path: its two blocks' contents, or a code.
struct Answer {
  Bytes info;
  Bytes pixels;
  SpiResult result = SpiResult::Ok;
};

class FakePlugins : public PictureDecoder {
 public:
  void Add(const std::string& path, Answer answer) { answers_[path] = std::move(answer); }

  SpiResult DecodeFile(const char* path, SpiHandle* info, SpiHandle* bits) override {
    const auto found = answers_.find(path);
    if (found == answers_.end()) return kRefused;
    if (found->second.result != SpiResult::Ok) return found->second.result;
    *info = Block(found->second.info);
    *bits = Block(found->second.pixels);
    lastBits_ = *bits;
    return SpiResult::Ok;
  }

  // Where the pixel block handed over last lies (the stand-in's blocks do
  // not move).
  const uint8_t* lastPixels() const {
    const uint8_t* pixels = platform::LockMovable(lastBits_);
    platform::UnlockMovable(lastBits_);
    return pixels;
  }

 private:
  static SpiHandle Block(const Bytes& bytes) {
    SpiHandle block = platform::AllocMovable(bytes.size(), false);
    std::memcpy(platform::LockMovable(block), bytes.data(), bytes.size());
    platform::UnlockMovable(block);
    return block;
  }

  std::map<std::string, Answer> answers_;
  SpiHandle lastBits_ = nullptr;
};

Bytes Pixels(std::initializer_list<uint8_t> bytes) { return Bytes(bytes); }

// 2 × 2 pictures, rows bottom-up.
Answer Sprite() {  // 32-bit BI_RGB: opaque red, half-transparent white, clear, opaque green
  return {InfoBlock(2, 2, 32), Pixels({0, 0, 255, 255, 200, 200, 200, 128, 9, 9, 9, 0, 0, 255, 0, 255})};
}
Answer ResolvedSprite() {  // the sprite at 3780 by 2835 pixels per metre (96 by 72 dpi)
  Answer sprite = Sprite();
  SetField32(sprite.info, 24, 3780);
  SetField32(sprite.info, 28, 2835);
  return sprite;
}
Answer Scene24() {  // blue, white / black, grey; rows padded to 8 bytes
  return {InfoBlock(2, 2, 24), Pixels({255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 0, 80, 80, 80, 0, 0})};
}
Answer Scene8() {  // indices 1 0 / 2 1 through a three-entry table
  Bytes info = InfoBlock(2, 2, 8, kBiRgb, {0x000000, 0xFF0000, 0x00FF00});
  SetClrUsed(info, 3);
  return {info, Pixels({1, 0, 0, 0, 2, 1, 0, 0})};
}

class DocumentTest : public testing::Test {
 protected:
  void SetUp() override {
    plugins_.Add("C:\\art\\sprite.px", Sprite());
    plugins_.Add("C:\\art\\resolved.px", ResolvedSprite());
    plugins_.Add("C:\\art\\scene.bmp", Scene24());
    plugins_.Add("C:\\art\\scene8.bmp", Scene8());
    plugins_.Add("C:\\art\\gone.px", Answer{{}, {}, SpiResult::FileReadError});
    live_ = platform::test::LiveAllocations();
  }
  void TearDown() override {
    platform::test::FailAllocationNumber(0);
    document_.ClearImages();
    EXPECT_EQ(platform::test::LiveAllocations(), live_) << "blocks left allocated";
  }

  Bytes BackgroundBytes() const {
    const Bgr24View b = document_.background();
    return Bytes(b.pixels, b.pixels + 8 * b.height);
  }

  FakePlugins plugins_;
  ImageDocument document_{plugins_};
  int live_ = 0;
};

TEST_F(DocumentTest, APictureWithAlphaBecomesThePremultipliedForeground) {
  Replaced replaced = Replaced::Nothing;
  ASSERT_EQ(document_.OpenImage("C:\\art\\sprite.px", kMayBeForeground, &replaced), SpiResult::Ok);
  EXPECT_EQ(replaced, Replaced::Foreground);
  ASSERT_TRUE(document_.HasForeground());
  const uint8_t* p = document_.foreground().pixels;
  EXPECT_EQ(Bytes(p, p + 16), Pixels({0, 0, 255, 255, 100, 100, 100, 128, 0, 0, 0, 0, 0, 255, 0, 255}));
  EXPECT_EQ(document_.foregroundName(), "C:\\art\\sprite.px");
  EXPECT_EQ(document_.Caption("Trellin"), "Trellin - sprite.px (2x2x32 bit)");
}

TEST_F(DocumentTest, TheModeDecidesWhatAPictureMayBecome) {
  EXPECT_EQ(document_.OpenImage("C:\\art\\sprite.px", kMayBeBackground), kRefused);
  EXPECT_EQ(document_.OpenImage("C:\\art\\scene.bmp", kMayBeForeground), kRefused);
  EXPECT_FALSE(document_.HasForeground() || document_.HasBackground());
  Replaced replaced;
  EXPECT_EQ(document_.OpenImage("C:\\art\\scene.bmp", kMayBeBackground | kMayBeForeground, &replaced), SpiResult::Ok);
  EXPECT_EQ(replaced, Replaced::Background);
  EXPECT_EQ(document_.OpenImage("C:\\art\\sprite.px", kMayBeBackground | kMayBeForeground, &replaced), SpiResult::Ok);
  EXPECT_EQ(replaced, Replaced::Foreground);
  EXPECT_EQ(document_.Caption("Trellin"), "Trellin - sprite.px (2x2x32 bit) / scene.bmp (2x2x24 bit)");
}

TEST_F(DocumentTest, ATwentyFourBitBackgroundKeepsThePluginsBlock) {
  ASSERT_EQ(document_.OpenImage("C:\\art\\scene.bmp", kMayBeBackground), SpiResult::Ok);
  EXPECT_EQ(document_.background().pixels, plugins_.lastPixels()) << "no copy";
  EXPECT_EQ(BackgroundBytes(), Scene24().pixels);
}

TEST_F(DocumentTest, OtherDepthsAreConvertedForTheBackground) {
  ASSERT_EQ(document_.OpenImage("C:\\art\\scene8.bmp", kMayBeBackground), SpiResult::Ok);
  EXPECT_EQ(BackgroundBytes(), Pixels({0, 0, 0xFF, 0, 0, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0}));
  EXPECT_EQ(document_.backgroundHeader().biBitCount, 24);
}

TEST_F(DocumentTest, RowsStoredTopFirstAreTurnedBottomUp) {
  Answer topDown = Scene24();
  SetField32(topDown.info, 8, static_cast<uint32_t>(-2));
  plugins_.Add("C:\\art\\flipped.bmp", topDown);
  ASSERT_EQ(document_.OpenImage("C:\\art\\flipped.bmp", kMayBeBackground), SpiResult::Ok);
  EXPECT_EQ(BackgroundBytes(), Pixels({0, 0, 0, 80, 80, 80, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0}));
  EXPECT_EQ(document_.backgroundHeader().biHeight, 2);
}

TEST_F(DocumentTest, FailuresLeaveBothPicturesAsTheyWere) {
  ASSERT_EQ(document_.OpenImage("C:\\art\\sprite.px", kMayBeForeground), SpiResult::Ok);
  ASSERT_EQ(document_.OpenImage("C:\\art\\scene.bmp", kMayBeBackground), SpiResult::Ok);
  Answer shortRows = Scene24();
  shortRows.pixels.resize(12);  // one row and a half: the block cannot hold the rows
  plugins_.Add("C:\\art\\short.bmp", shortRows);
  EXPECT_EQ(document_.OpenImage("C:\\art\\gone.px", kMayBeForeground), SpiResult::FileReadError) << "the plug-in's code";
  EXPECT_EQ(document_.OpenImage("C:\\art\\missing.png", kMayBeBackground), kRefused);
  EXPECT_EQ(document_.OpenImage("C:\\art\\short.bmp", kMayBeBackground), kRefused);
  EXPECT_EQ(BackgroundBytes(), Scene24().pixels);
  EXPECT_EQ(document_.Caption("Trellin"), "Trellin - sprite.px (2x2x32 bit) / scene.bmp (2x2x24 bit)");
}

// Where the block for a converted background cannot be had, the previous
// background stays, header and all, and the open says memory ran out: the
// picture is not broken.
TEST_F(DocumentTest, AFailedAllocationKeepsThePreviousBackground) {
  ASSERT_EQ(document_.OpenImage("C:\\art\\scene.bmp", kMayBeBackground), SpiResult::Ok);
  for (int n = 3;; ++n) {  // the first two are the plug-in's own blocks
    platform::test::FailAllocationNumber(n);
    const SpiResult result = document_.OpenImage("C:\\art\\scene8.bmp", kMayBeBackground);
    const bool reached = platform::test::AllocationsSoFar() >= n;
    platform::test::FailAllocationNumber(0);
    if (!reached) break;
    EXPECT_EQ(result, SpiResult::OutOfMemory) << "allocation " << n;
    EXPECT_EQ(BackgroundBytes(), Scene24().pixels) << "allocation " << n;
  }
  platform::test::FailAllocationNumber(3);
  EXPECT_EQ(document_.ForceForeground("C:\\art\\scene8.bmp"), SpiResult::OutOfMemory) << "no block for the keys";
  platform::test::FailAllocationNumber(0);
  EXPECT_FALSE(document_.HasForeground());
}

TEST_F(DocumentTest, ForcedForegroundsAreKeyed) {
  ASSERT_EQ(document_.ForceForeground("C:\\art\\scene.bmp"), SpiResult::Ok);  // key: blue, the bottom-left pixel
  const uint8_t* p = document_.foreground().pixels;
  EXPECT_EQ(Bytes(p, p + 16), Pixels({0, 0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 255, 80, 80, 80, 255}));
  ASSERT_EQ(document_.ForceForeground("C:\\art\\scene8.bmp"), SpiResult::Ok);  // index 0 clear, whatever its colour
  p = document_.foreground().pixels;
  EXPECT_EQ(Bytes(p, p + 16), Pixels({0, 0, 0xFF, 255, 0, 0, 0, 0, 0, 0xFF, 0, 255, 0, 0, 0xFF, 255}));
  EXPECT_EQ(document_.foregroundHeader().biBitCount, 32);
  EXPECT_EQ(document_.ForceForeground("C:\\art\\sprite.px"), SpiResult::Ok) << "alpha: taken as it is";
  EXPECT_EQ(document_.foreground().pixels[7], 128);
  plugins_.Add("C:\\art\\rgb16.bmp", Answer{InfoBlock(1, 1, 16), Pixels({0xFF, 0x7F, 0, 0})});
  EXPECT_EQ(document_.ForceForeground("C:\\art\\rgb16.bmp"), kRefused) << "16 bits have no key";
  EXPECT_EQ(document_.ForceForeground("C:\\art\\gone.px"), SpiResult::FileReadError);
  EXPECT_EQ(document_.foregroundName(), "C:\\art\\sprite.px");
}

TEST_F(DocumentTest, PastedBitmapsAreCopies) {
  Bytes sprite = Concat(Sprite().info, Sprite().pixels);
  for (size_t i = 43; i < sprite.size(); i += 4) sprite[i] = 0;  // every alpha byte 0: still a foreground
  const Bytes before = sprite;
  EXPECT_EQ(document_.PastePicture(Span(sprite), "[None title]"), Replaced::Foreground);
  EXPECT_EQ(sprite, before) << "the clipboard's bytes are not premultiplied";
  EXPECT_EQ(document_.foregroundName(), "[None title]");
  EXPECT_EQ(document_.foreground().pixels[0], 0) << "fully transparent";

  const Bytes scene = Concat(Scene8().info, Scene8().pixels);
  EXPECT_EQ(document_.PastePicture(Span(scene), "[None title]"), Replaced::Background);
  EXPECT_EQ(document_.backgroundName(), "[None title]");
  EXPECT_EQ(document_.PastePicture(Span(Bytes(scene.begin(), scene.end() - 1)), "[None title]"), Replaced::Nothing);
  EXPECT_EQ(document_.PastePicture(ByteSpan{}, "[None title]"), Replaced::Nothing);
}

TEST_F(DocumentTest, ClearingRemovesBothPictures) {
  ASSERT_EQ(document_.OpenImage("C:\\art\\sprite.px", kMayBeForeground), SpiResult::Ok);
  ASSERT_EQ(document_.OpenImage("C:\\art\\scene.bmp", kMayBeBackground), SpiResult::Ok);
  document_.ClearImages();
  EXPECT_FALSE(document_.HasForeground() || document_.HasBackground());
  EXPECT_EQ(document_.Caption("Trellin"), "Trellin");
}

// Only a foreground: it is written over black, without alpha, and the
// clipboard gets its premultiplied 32-bit rows.
TEST_F(DocumentTest, OutputsOfALoneForeground) {
  ASSERT_EQ(document_.OpenImage("C:\\art\\sprite.px", kMayBeForeground), SpiResult::Ok);
  OutputPicture picture;
  ASSERT_TRUE(picture.Choose(document_, nullptr));
  EXPECT_EQ(picture.header().biBitCount, 24);
  EXPECT_EQ(picture.header().biSizeImage, 0u);
  EXPECT_EQ(Bytes(picture.pixels(), picture.pixels() + 16),
            Pixels({0, 0, 255, 100, 100, 100, 0, 0, 0, 0, 0, 0, 255, 0, 0, 0}));

  Bytes clipboard(ClipboardBitmapSize(document_));
  ASSERT_EQ(clipboard.size(), 40u + 16u);
  WriteClipboardBitmap(document_, nullptr, clipboard.data());
  EXPECT_EQ(clipboard[14], 32) << "biBitCount";
  EXPECT_EQ(Bytes(clipboard.begin() + 40, clipboard.end()),
            Bytes(document_.foreground().pixels, document_.foreground().pixels + 16));
}

// The file a lone foreground is saved to keeps the source's resolution.
TEST_F(DocumentTest, ALoneForegroundsOutputKeepsItsResolution) {
  ASSERT_EQ(document_.OpenImage("C:\\art\\resolved.px", kMayBeForeground), SpiResult::Ok);
  OutputPicture picture;
  ASSERT_TRUE(picture.Choose(document_, nullptr));
  EXPECT_EQ(picture.header().biXPelsPerMeter, 3780);
  EXPECT_EQ(picture.header().biYPelsPerMeter, 2835);
  EXPECT_EQ(picture.header().biBitCount, 24);
  EXPECT_EQ(picture.header().biWidth, 2);
  EXPECT_EQ(picture.header().biHeight, 2);
}

TEST_F(DocumentTest, OutputsWithABackgroundAreTheComposite) {
  OutputPicture none;
  EXPECT_FALSE(none.Choose(document_, nullptr));
  EXPECT_EQ(ClipboardBitmapSize(document_), 0u);
  ASSERT_EQ(document_.OpenImage("C:\\art\\sprite.px", kMayBeForeground), SpiResult::Ok);
  ASSERT_EQ(document_.OpenImage("C:\\art\\scene.bmp", kMayBeBackground), SpiResult::Ok);
  const Bytes composite(16, 7);
  OutputPicture picture;
  ASSERT_TRUE(picture.Choose(document_, composite.data()));
  EXPECT_EQ(picture.pixels(), composite.data());
  EXPECT_EQ(picture.header().biBitCount, 24);
  Bytes clipboard(ClipboardBitmapSize(document_));
  WriteClipboardBitmap(document_, composite.data(), clipboard.data());
  EXPECT_EQ(Bytes(clipboard.begin() + 40, clipboard.end()), composite);
  // Without a composite surface the background stands in for it.
  ASSERT_TRUE(picture.Choose(document_, nullptr));
  EXPECT_EQ(picture.pixels(), document_.background().pixels);
}

TEST_F(DocumentTest, AFailedFlatteningIsReported) {
  ASSERT_EQ(document_.OpenImage("C:\\art\\sprite.px", kMayBeForeground), SpiResult::Ok);
  platform::test::FailAllocationNumber(1);
  OutputPicture picture;
  EXPECT_FALSE(picture.Choose(document_, nullptr));
}

}  // namespace
