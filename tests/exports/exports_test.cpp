// The four exports as a host uses them: information strings, detection in
// both forms, file and memory mode, offsets, and every result code.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/fixtures/tga_writer.h"
#include "tests/support/plugin_api.h"
#include "tests/support/progress_calls.h"

namespace {

Bytes SmallTga() { return WriteTga(TgaFile{GradientPicture(7, 5, 3)}); }

std::string Info(int number, int bufferLength, int* result) {
  char buffer[128];
  std::memset(buffer, '#', sizeof buffer);
  *result = Plugin().getPluginInfo(number, buffer, bufferLength);
  return std::string(buffer, strnlen(buffer, sizeof buffer));
}

TEST(PluginInfo, StringsAreCutToTheBuffer) {
  int result;
  EXPECT_EQ(Info(0, 128, &result), "00IN");
  EXPECT_EQ(result, 4);
  EXPECT_EQ(Info(2, 128, &result), "*.px;*.lfb;*.lff;*.lcf;*.lgf;*.cz1;*.cz2;*.tga;*.bbm");
  EXPECT_EQ(result, 52);
  EXPECT_EQ(Info(3, 128, &result), "Leaf image files");
  EXPECT_EQ(Info(3, 5, &result), "Leaf");
  EXPECT_EQ(result, 4);
  EXPECT_EQ(Info(0, 1, &result), "");
  EXPECT_EQ(result, 0);
  EXPECT_NE(Info(1, 128, &result).find('\n'), std::string::npos);
}

TEST(PluginInfo, OutOfRangeOrNoRoomLeavesTheBufferAlone) {
  for (auto [number, length] : {std::pair{4, 128}, {-1, 128}, {0, 0}, {3, -5}}) {
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(Plugin().getPluginInfo(number, buffer, length), 0);
    EXPECT_EQ(std::string(buffer, 8), "########") << number << " " << length;
  }
}

TEST(IsSupported, MemoryFormUsesExtensionAndHeader) {
  Bytes header = SmallTga();
  header.resize(2048);
  EXPECT_EQ(Plugin().isSupported("a.tga", header.data()), 1);
  EXPECT_EQ(Plugin().isSupported("a.TgA", header.data()), 1);
  EXPECT_EQ(Plugin().isSupported(nullptr, header.data()), 1);
  EXPECT_EQ(Plugin().isSupported("a.png", header.data()), 0);
  Bytes cz1(2048);
  std::memcpy(cz1.data(), "cz10", 4);
  EXPECT_EQ(Plugin().isSupported("a.png", cz1.data()), 1);
}

TEST(IsSupported, FileHandleFormReadsFromTheCurrentPosition) {
  Bytes at128(128, 0xEE);
  Append(at128, SmallTga());
  const std::string path = WriteTempFile("handle.tga", at128);
  EXPECT_EQ(Plugin().isSupported(path.c_str(), HostFile(path, 128).handle()), 1);
  EXPECT_EQ(Plugin().isSupported(path.c_str(), HostFile(path, 0).handle()), 0);
  const std::string tiny = WriteTempFile("tiny.cz1", Bytes{'c', 'z', '1', '0'});
  EXPECT_EQ(Plugin().isSupported(tiny.c_str(), HostFile(tiny, 0).handle()), 1) << "a short read is zero-padded";
}

TEST(GetPictureInfo, MemoryAndFileModeAgree) {
  TgaFile tga{GradientPicture(7, 5, 3)};
  tga.xOrigin = 3;
  tga.yOrigin = 9;
  const Bytes file = WriteTga(tga);
  const PictureInfo fromMemory = InfoOf(file);
  PictureInfo fromFile{};
  EXPECT_EQ(fromMemory.width, 7);
  EXPECT_EQ(fromMemory.height, 5);
  EXPECT_EQ(fromMemory.colorDepth, 24);
  EXPECT_EQ(fromMemory.left, 3);
  EXPECT_EQ(fromMemory.top, 9);
  EXPECT_EQ(SpiHandle{fromMemory.hInfo}, nullptr);  // a copy: the packed field may be misaligned
  ASSERT_EQ(Plugin().getPictureInfo(WriteTempFile("info.tga", file).c_str(), 0, 0, &fromFile), 0);
  EXPECT_EQ(std::memcmp(&fromMemory, &fromFile, sizeof fromFile), 0);
}

TEST(GetPictureInfo, FileModeResults) {
  PictureInfo info{};
  EXPECT_EQ(Plugin().getPictureInfo("no such file.tga", 0, 0, &info), 6);
  EXPECT_EQ(Plugin().getPictureInfo(WriteTempFile("info.png", SmallTga()).c_str(), 0, 0, &info), 2);
  Bytes at128(128, 0xEE);
  Append(at128, SmallTga());
  ASSERT_EQ(Plugin().getPictureInfo(WriteTempFile("info128.tga", at128).c_str(), 128, 0, &info), 0);
  EXPECT_EQ(info.width, 7);
  PictureInfo untouched{};
  untouched.width = 1234;
  const Bytes tga = SmallTga();
  EXPECT_EQ(Plugin().getPictureInfo(reinterpret_cast<const char*>(tga.data()), 10, 1, &untouched), 2)
      << "a memory image shorter than its header";
  EXPECT_EQ(untouched.width, 1234);
}

TEST(GetPicture, FileMemoryAndOffsetGiveTheSameBitmap) {
  const Picture picture = GradientPicture(7, 5, 3);
  const Bytes file = WriteTga(TgaFile{picture});
  Bytes at128(128, 0xEE);
  Append(at128, file);
  for (const Decoded& d : {DecodeMemory(file), DecodeFile(WriteTempFile("p.tga", file)),
                           DecodeFile(WriteTempFile("p128.tga", at128), 128)}) {
    ASSERT_EQ(d.result, 0);
    EXPECT_TRUE(d.unlocked);
    EXPECT_EQ(d.info.size(), 54u);
    EXPECT_EQ(d.bits, ExpectedBits(picture));
  }
}

TEST(GetPicture, FailuresLeaveTheHandlesAlone) {
  const Bytes file = SmallTga();
  const std::string path = WriteTempFile("f.tga", file);
  const Decoded missing = DecodeFile("no such file.tga");
  EXPECT_EQ(missing.result, 6);
  EXPECT_FALSE(missing.handed);
  const Decoded atEnd = DecodeFile(path, static_cast<SpiLongPtr>(file.size()));
  EXPECT_EQ(atEnd.result, 2);
  EXPECT_FALSE(atEnd.handed);
  const Decoded negative = DecodeFile(path, -1);
  EXPECT_EQ(negative.result, 2);
  const Decoded unknown = DecodeMemory(Bytes(64, 0x77));
  EXPECT_EQ(unknown.result, 2);
  EXPECT_FALSE(unknown.handed);
}

TEST(GetPicture, ProgressIsReportedAndCanStopTheDecode) { ExpectStagesThatCanStop(SmallTga(), 1); }

}  // namespace
