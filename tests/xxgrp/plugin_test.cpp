// xxgrp.dll as a Susie image-input plug-in: every format the imaging
// component reads, from files of our own making, in both call forms.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

#include "tests/support/plugin_api.h"
#include "tests/support/progress_calls.h"
#include "tests/xxgrp/image_files.h"
#include "tests/xxgrp/wic_codec.h"

namespace {

BITMAPINFOHEADER HeaderOf(const Decoded& decoded) {
  BITMAPINFOHEADER header{};
  if (decoded.info.size() >= sizeof header) std::memcpy(&header, decoded.info.data(), sizeof header);
  return header;
}

// The rows of a decode, as long as the header says they are.
Bytes RowsOf(const Decoded& decoded) {
  const size_t size = HeaderOf(decoded).biSizeImage;
  return size <= decoded.bits.size() ? Bytes(decoded.bits.begin(), decoded.bits.begin() + size) : Bytes{};
}

// The info block: a 40-byte BI_RGB header of the picture's size and depth,
// rows bottom-up, and both blocks handed over unlocked.
void ExpectHeader(const Decoded& decoded, int width, int height, int bitCount) {
  ASSERT_EQ(decoded.result, 0);
  EXPECT_TRUE(decoded.unlocked);
  const BITMAPINFOHEADER header = HeaderOf(decoded);
  EXPECT_EQ(header.biSize, 40u);
  EXPECT_EQ(header.biWidth, width);
  EXPECT_EQ(header.biHeight, height);
  EXPECT_EQ(header.biPlanes, 1);
  EXPECT_EQ(header.biBitCount, bitCount);
  EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
  const size_t stride = (static_cast<size_t>(width) * bitCount + 31) / 32 * 4;
  EXPECT_EQ(header.biSizeImage, stride * height);
  EXPECT_GE(decoded.bits.size(), stride * height);
}

void ExpectPicture(const Decoded& decoded, const Picture& expected) {
  ExpectHeader(decoded, expected.width, expected.height, expected.bytesPerPixel * 8);
  EXPECT_EQ(RowsOf(decoded), ExpectedBits(expected));
}

Picture WithoutAlpha(const Picture& bgra) {
  Picture bgr{bgra.width, bgra.height, 3, {}};
  for (size_t i = 0; i < bgra.pixels.size(); i += 4)
    bgr.pixels.insert(bgr.pixels.end(), bgra.pixels.begin() + i, bgra.pixels.begin() + i + 3);
  return bgr;
}

Bytes Padded(Bytes header) {
  header.resize(2048);
  return header;
}

Bytes Prefixed(size_t count, const Bytes& file) {
  Bytes out(count, 0xEE);
  Append(out, file);
  return out;
}

const Picture kOpaque = GradientPicture(13, 7, 3);  // odd width: padded rows
const Picture kSprite = SpritePicture(24, 20);      // alpha from 0 to 255
const Bytes kPng = WritePng(kOpaque);

std::string Info(int number, int bufferLength, int* result) {
  char buffer[128];
  std::memset(buffer, '#', sizeof buffer);
  *result = Plugin().getPluginInfo(number, buffer, bufferLength);
  return std::string(buffer, strnlen(buffer, sizeof buffer));
}

TEST(XxgrpPluginInfo, TypeThenOnePatternAndNamePerFormat) {
  int result;
  EXPECT_EQ(Info(0, 128, &result), "00IN");
  EXPECT_EQ(result, 4);
  EXPECT_NE(Info(1, 128, &result).find('\n'), std::string::npos);
  const char* const pairs[][2] = {
      {"*.bmp;*.dib", "Windows bitmap"}, {"*.png", "PNG"}, {"*.jpg;*.jpeg;*.jpe;*.jfif", "JPEG"}, {"*.gif", "GIF"},
      {"*.tif;*.tiff", "TIFF"},          {"*.ico", "Icon"}};
  for (int n = 0; n < 6; ++n) {
    EXPECT_EQ(Info(2 * n + 2, 128, &result), pairs[n][0]);
    EXPECT_EQ(result, static_cast<int>(std::strlen(pairs[n][0])));
    EXPECT_EQ(Info(2 * n + 3, 128, &result), pairs[n][1]);
  }
  EXPECT_EQ(Info(2, 6, &result), "*.bmp");
  EXPECT_EQ(result, 5);
}

TEST(XxgrpPluginInfo, OutOfRangeOrNoRoomLeavesTheBufferAlone) {
  for (auto [number, length] : {std::pair{14, 128}, {-1, 128}, {0, 0}, {3, -5}}) {
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(Plugin().getPluginInfo(number, buffer, length), 0);
    EXPECT_EQ(std::string(buffer, 8), "########") << number << " " << length;
  }
}

TEST(XxgrpIsSupported, MemoryFormKnowsEveryFormatBySignature) {
  const Bytes known[] = {WriteBmp(kOpaque),   kPng,
                         EncodeJpeg(kOpaque), WriteGif(IndexPicture(4, 4, 9, 1), TestPalette(1), {}),
                         WriteTiff(kOpaque),  WriteIcoBitmap(kSprite)};
  for (const Bytes& file : known) {
    const Bytes header = Padded(file);
    EXPECT_EQ(Plugin().isSupported("picture.dat", header.data()), 1) << int(file[0]) << " " << int(file[1]);
    EXPECT_EQ(Plugin().isSupported(nullptr, header.data()), 1);
  }
}

TEST(XxgrpIsSupported, OtherDataIsRefused) {
  Bytes bmpText(2048, ' ');
  std::memcpy(bmpText.data(), "BMP files are pictures", 22);
  Bytes icoLike(2048, 0);
  icoLike[2] = 1;  // type 1 but no entries
  const Bytes refused[] = {Bytes(2048, 0), bmpText, icoLike, Padded({'G', 'I', 'F', '8', '8', 'a'}),
                           Padded({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, 0})};
  for (const Bytes& header : refused) EXPECT_EQ(Plugin().isSupported("a.png", header.data()), 0);
}

TEST(XxgrpIsSupported, FileHandleFormReadsFromTheCurrentPosition) {
  const std::string png = WriteTempFile("handle.png", Prefixed(128, kPng));
  EXPECT_EQ(Plugin().isSupported(png.c_str(), HostFile(png, 128).handle()), 1);
  EXPECT_EQ(Plugin().isSupported(png.c_str(), HostFile(png, 0).handle()), 0);
  const std::string tiny = WriteTempFile("tiny.gif", {'G', 'I', 'F', '8', '9', 'a'});
  EXPECT_EQ(Plugin().isSupported(tiny.c_str(), HostFile(tiny, 0).handle()), 1);
}

TEST(XxgrpDecode, BmpOf24And32Bits) {
  ExpectPicture(DecodeMemory(WriteBmp(kOpaque)), kOpaque);
  // A 32-bit BI_RGB bitmap has no alpha: its fourth byte is not kept.
  ExpectPicture(DecodeMemory(WriteBmp(kSprite)), WithoutAlpha(kSprite));
}

TEST(XxgrpDecode, PngKeepsStraightAlphaAndEveryFilter) {
  for (int filter = 0; filter <= 4; ++filter) {
    ExpectPicture(DecodeMemory(WritePng(kOpaque, filter)), kOpaque);
    ExpectPicture(DecodeMemory(WritePng(kSprite, filter)), kSprite);
  }
}

TEST(XxgrpDecode, GifThroughItsPalette) {
  const Picture indices = IndexPicture(19, 11, 200, 5);
  const Palette palette = TestPalette(6);
  ExpectPicture(DecodeMemory(WriteGif(indices, palette, {})), ThroughPalette(indices, palette, 3));
}

TEST(XxgrpDecode, GifTransparentIndexBecomesAlpha) {
  const Picture indices = IndexPicture(19, 11, 4, 7);
  const Palette palette = TestPalette(8);
  const Decoded decoded = DecodeMemory(WriteGif(indices, palette, uint8_t{2}));
  ExpectHeader(decoded, 19, 11, 32);
  const Bytes rows = RowsOf(decoded);
  ASSERT_EQ(rows.size(), 19u * 11 * 4);
  for (int y = 0; y < 11; ++y) {
    for (int x = 0; x < 19; ++x) {
      const uint8_t index = *indices.At(x, y);
      const uint8_t* px = &rows[(static_cast<size_t>(10 - y) * 19 + x) * 4];
      if (index == 2) {
        EXPECT_EQ(px[3], 0) << x << "," << y;
        continue;
      }
      EXPECT_EQ(px[3], 255) << x << "," << y;
      EXPECT_EQ(std::memcmp(px, &palette[index * 4], 3), 0) << x << "," << y;
    }
  }
}

TEST(XxgrpDecode, UncompressedTiff) { ExpectPicture(DecodeMemory(WriteTiff(kOpaque)), kOpaque); }

TEST(XxgrpDecode, IconsAreThirtyTwoBitsWithAlpha) {
  ExpectPicture(DecodeMemory(WriteIcoBitmap(kSprite)), kSprite);
  ExpectPicture(DecodeMemory(WriteIcoPng(kSprite)), kSprite);
}

// JPEG is lossy: a smooth picture comes back within a few levels.
TEST(XxgrpDecode, JpegCloseToItsSource) {
  const Picture smooth = GradientPicture(48, 32, 3);
  const Decoded decoded = DecodeMemory(EncodeJpeg(smooth));
  ExpectHeader(decoded, 48, 32, 24);
  const Bytes rows = RowsOf(decoded), expected = ExpectedBits(smooth);
  ASSERT_EQ(rows.size(), expected.size());
  long total = 0;
  int largest = 0;
  for (size_t i = 0; i < rows.size(); ++i) {
    const int error = std::abs(rows[i] - expected[i]);
    total += error;
    largest = std::max(largest, error);
  }
  EXPECT_LE(static_cast<double>(total) / rows.size(), 4.0);
  EXPECT_LE(largest, 40);
}

TEST(XxgrpDecode, FileModeAtAnOffsetMatchesMemoryMode) {
  const Decoded memory = DecodeMemory(WritePng(kSprite));
  const std::string plain = WriteTempFile("plain.png", WritePng(kSprite));
  const std::string prefixed = WriteTempFile("prefixed.png", Prefixed(128, WritePng(kSprite)));
  for (const Decoded& decoded : {DecodeFile(plain, 0), DecodeFile(prefixed, 128)}) {
    ExpectPicture(decoded, kSprite);
    EXPECT_EQ(decoded.info, memory.info);
  }
  EXPECT_NE(DecodeFile(prefixed, 0).result, 0);
}

TEST(XxgrpDecode, ProgressReportsEveryRowAndCanStopAtAny) { ExpectStagesThatCanStop(WritePng(kOpaque), 7); }

TEST(XxgrpPictureInfo, SizeAndSourceDepthInBothForms) {
  PictureInfo info = InfoOf(kPng);
  EXPECT_EQ(info.width, 13);
  EXPECT_EQ(info.height, 7);
  EXPECT_EQ(info.colorDepth, 24);
  EXPECT_EQ(info.left, 0);
  EXPECT_EQ(info.hInfo, nullptr);
  EXPECT_EQ(InfoOf(WritePng(kSprite)).colorDepth, 32);
  EXPECT_EQ(InfoOf(WriteGif(IndexPicture(5, 3, 9, 1), TestPalette(1), {})).colorDepth, 8);
  const std::string path = WriteTempFile("info.tif", Prefixed(128, WriteTiff(kOpaque)));
  PictureInfo fromFile{};
  EXPECT_EQ(Plugin().getPictureInfo(path.c_str(), 128, 0, &fromFile), 0);
  EXPECT_EQ(fromFile.width, 13);
  EXPECT_EQ(fromFile.height, 7);
}

TEST(XxgrpFailures, CodesAndUntouchedHandles) {
  const std::string path = WriteTempFile("short.png", kPng);
  const std::string missing = (std::filesystem::path(path).parent_path() / "missing.png").string();
  PictureInfo info{};
  const auto expect = [](const Decoded& decoded, int result) {
    EXPECT_EQ(decoded.result, result);
    EXPECT_FALSE(decoded.handed);
  };
  expect(DecodeFile(path, static_cast<SpiLongPtr>(kPng.size())), 2);  // nothing after the offset
  expect(DecodeFile(path, -1), 2);
  expect(DecodeFile(missing), 6);
  EXPECT_EQ(Plugin().getPictureInfo(missing.c_str(), 0, 0, &info), 6);
  expect(DecodeMemory(Bytes(300, 0x41)), 2);  // no decoder recognises it
  InfoOf(Bytes(300, 0x41), 2);
  SpiHandle handles[2] = {};
  EXPECT_EQ(
      Plugin().getPicture(reinterpret_cast<const char*>(kPng.data()), -5, 1, &handles[0], &handles[1], nullptr, 0), 2);
}

// A bitmap file header and info header of the given size, 24 bits per
// pixel, followed by one row of data at most.
Bytes BmpPromising(int32_t width, int32_t height) {
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + 64;
  Bytes bytes(file.bfSize, 0x80);
  std::memcpy(bytes.data(), &file, sizeof file);
  std::memcpy(bytes.data() + sizeof file, &info, sizeof info);
  return bytes;
}

// A picture whose 32-bit form passes the viewer's size cap (2 GiB less a
// byte) is refused with 4 from its header alone, before a row is decoded;
// one just inside the cap is described as usual.
TEST(XxgrpFailures, PicturesPastTheSizeCapAreRefusedFromTheirHeader) {
  for (const auto& [width, height] : {std::pair{24000, 24000}, std::pair{16384, 32768}}) {
    const Bytes file = BmpPromising(width, height);
    InfoOf(file, 4);
    const Decoded decoded = DecodeMemory(file);
    EXPECT_EQ(decoded.result, 4) << width << " x " << height;
    EXPECT_FALSE(decoded.handed);
    const std::string path = WriteTempFile("huge.bmp", file);
    EXPECT_EQ(DecodeFile(path).result, 4);
  }
  for (const auto& [width, height] : {std::pair{23170, 23170}, std::pair{16384, 32767}}) {
    const PictureInfo info = InfoOf(BmpPromising(width, height));
    EXPECT_EQ(info.width, width);
    EXPECT_EQ(info.height, height);
  }
}

// Truncated and corrupted files give a result code and never crash; a
// decode that succeeds anyway returns blocks as long as its header says.
TEST(XxgrpFailures, DamagedFilesOfEveryFormat) {
  const Bytes files[] = {WriteBmp(kOpaque),      kPng,
                         WritePng(kSprite),      EncodeJpeg(GradientPicture(24, 16, 3)),
                         WriteTiff(kOpaque),     WriteGif(IndexPicture(9, 5, 50, 3), TestPalette(3), uint8_t{1}),
                         WriteIcoBitmap(kSprite)};
  for (const Bytes& good : files) {
    std::vector<Bytes> damaged;
    for (size_t length : {size_t{1}, size_t{8}, size_t{20}, size_t{60}, good.size() / 2, good.size() - 1})
      damaged.emplace_back(good.begin(), good.begin() + std::min(length, good.size()));
    for (size_t at = 4; at < good.size(); at += good.size() / 23 + 1) {
      damaged.push_back(good);
      damaged.back()[at] ^= 0xA5;
    }
    for (const Bytes& file : damaged) {
      const Decoded decoded = DecodeMemory(file);
      EXPECT_GE(decoded.result, 0);
      EXPECT_LE(decoded.result, 6);
      if (decoded.result != 0) {
        EXPECT_FALSE(decoded.handed);
        continue;
      }
      const BITMAPINFOHEADER header = HeaderOf(decoded);
      EXPECT_GE(decoded.bits.size(), header.biSizeImage);
      PictureInfo info{};
      Plugin().getPictureInfo(reinterpret_cast<const char*>(file.data()), static_cast<SpiLongPtr>(file.size()), 1,
                              &info);
    }
  }
}

// On a thread of its own, so that the answers show what the plug-in left behind.
template <class Work>
HRESULT InitializeAfter(Work work, DWORD apartment) {
  HRESULT result = E_FAIL;
  std::thread([&] {
    work();
    result = CoInitializeEx(nullptr, apartment);
    if (SUCCEEDED(result)) CoUninitialize();
  }).join();
  return result;
}

// COM is set up for the call where the host has none and undone after it;
// a host's own apartment, of either kind, is used and left as it was.
TEST(XxgrpCom, EachCallLeavesTheThreadAsItFoundIt) {
  const auto decode = [] { EXPECT_EQ(DecodeMemory(kPng).result, 0); };
  EXPECT_EQ(InitializeAfter(decode, COINIT_MULTITHREADED), S_OK);
  EXPECT_EQ(InitializeAfter(decode, COINIT_APARTMENTTHREADED), S_OK);
  for (DWORD hostApartment : {COINIT_MULTITHREADED, COINIT_APARTMENTTHREADED}) {
    const auto inHostApartment = [&] {
      ASSERT_EQ(CoInitializeEx(nullptr, hostApartment), S_OK);
      decode();
      PictureInfo info{};
      EXPECT_EQ(Plugin().getPictureInfo(reinterpret_cast<const char*>(kPng.data()),
                                        static_cast<SpiLongPtr>(kPng.size()), 1, &info),
                0);
      CoUninitialize();
    };
    EXPECT_EQ(InitializeAfter(inHostApartment, COINIT_MULTITHREADED), S_OK);
  }
}

}  // namespace
