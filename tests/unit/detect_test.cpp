#include <gtest/gtest.h>

#include <cstring>

#include "plugin/framework/detect.h"

namespace {

struct Header {
  uint8_t bytes[32] = {};
  Header& At(size_t offset, const char* text, size_t count) {
    std::memcpy(bytes + offset, text, count);
    return *this;
  }
  Header& U32(size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
    return *this;
  }
  Header& U16(size_t offset, uint16_t value) {
    bytes[offset] = static_cast<uint8_t>(value);
    bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
    return *this;
  }
};

ImageFormat Detect(const char* name, const Header& h) { return DetectFormat(name, h.bytes); }

Header Tga() { return Header().U32(0, 0x00020000).U32(8, 0x12345678); }
Header Px(uint32_t formatAndDepth) { return Header().U32(0, 640).U32(4, 480).U32(16, formatAndDepth); }

TEST(Detect, ExtensionGates) {
  EXPECT_EQ(Detect("a.tga", Tga()), ImageFormat::Tga);
  EXPECT_EQ(Detect("dir.x\\A.TgA", Tga()), ImageFormat::Tga);
  EXPECT_EQ(Detect(nullptr, Tga()), ImageFormat::Tga);
  EXPECT_EQ(Detect("picture", Tga()), ImageFormat::None) << "a name without a dot is its own extension";
  EXPECT_EQ(Detect("tga", Tga()), ImageFormat::Tga);
  EXPECT_EQ(Detect("a.png", Tga()), ImageFormat::None);
  EXPECT_EQ(Detect("a.", Tga()), ImageFormat::None);
  EXPECT_EQ(Detect("a.tga", Header().At(0, "LFB\0", 4)), ImageFormat::None);
  EXPECT_EQ(Detect(nullptr, Header().At(0, "LEAFFUL\0", 8)), ImageFormat::Lff);
  EXPECT_EQ(Detect("x.lfb", Header().At(0, "LEAFFUL\0", 8)), ImageFormat::None);
  EXPECT_EQ(Detect("x.LCF", Header().At(0, "LEAFCFL\0", 8)), ImageFormat::Lcf);
  EXPECT_EQ(Detect("x.lfb", Header().At(0, "LFB\0", 4).U32(8, 1)), ImageFormat::Lfb);
}

TEST(Detect, LeafMagicsIgnoreTheExtension) {
  EXPECT_EQ(Detect("a.png", Header().At(0, "lgf", 3)), ImageFormat::Lgf);
  EXPECT_EQ(Detect("a.png", Header().At(0, "cz10", 4)), ImageFormat::CZ1);
  EXPECT_EQ(Detect("a.png", Header().At(0, "cz20\1", 5)), ImageFormat::CZ2);
  EXPECT_EQ(Detect("a.png", Header().At(0, "cz20\2cz2", 8)), ImageFormat::CZ2);
  EXPECT_EQ(Detect("a.png", Header().At(0, "cz20\2cz3", 8).U32(8, 5)), ImageFormat::None);
}

TEST(Detect, BbmComparesTheBigEndianCopies) {
  Header bbm = Header().U16(8, 0x0102).U16(10, 0x0304);
  bbm.bytes[0] = 1, bbm.bytes[1] = 2, bbm.bytes[2] = 3, bbm.bytes[3] = 4;
  EXPECT_EQ(Detect("a.bbm", bbm), ImageFormat::Bbm);
  bbm.bytes[3] = 5;
  EXPECT_EQ(Detect(nullptr, bbm), ImageFormat::None);
}

TEST(Detect, PxTestsInOrder) {
  EXPECT_EQ(Detect("a.px", Px(0x00200001).U32(20, 640).U32(24, 480)), ImageFormat::PX);
  EXPECT_EQ(Detect("a.px", Px(0x00200001).U32(20, 641).U32(24, 480)), ImageFormat::None);
  EXPECT_EQ(Detect("a.px", Px(0x00080007).U32(20, 640).U32(24, 480)), ImageFormat::PX);
  EXPECT_EQ(Detect("a.PX", Px(0x90).U32(4, 1).At(20, "leafaquaplus", 12)), ImageFormat::PX);
  EXPECT_EQ(Detect("a.px", Px(0x0020000A)), ImageFormat::PX);
  EXPECT_EQ(Detect("a.px", Px(0x00080001)), ImageFormat::PX);
  EXPECT_EQ(Detect("a.px", Px(0x00100003)), ImageFormat::PX);
  EXPECT_EQ(Detect("a.px", Px(0x0010FFFF)), ImageFormat::PX) << "the format word is signed";
  EXPECT_EQ(Detect("a.px", Px(0x00100004)), ImageFormat::None);
  EXPECT_EQ(Detect("a.px", Px(0x00200040)), ImageFormat::PX3);
  EXPECT_EQ(Detect("a.px", Px(0x00200040).U32(0, 0)), ImageFormat::None);
  EXPECT_EQ(Detect("a.px", Px(0x00080044).U32(0, 2)), ImageFormat::PX3);
  EXPECT_EQ(Detect("a.px", Px(0x00080044).U32(0, 1)), ImageFormat::None);
  EXPECT_EQ(Detect("a.px", Px(0x00200004).U32(20, 640)), ImageFormat::PX2);
  EXPECT_EQ(Detect("a.px", Px(0x00200004).At(20, "LeafAquaPlus", 12)), ImageFormat::PX2);
  EXPECT_EQ(Detect("a.px", Px(0x00200004).At(20, "LEAFAQUAPLUS", 12)), ImageFormat::None);
  EXPECT_EQ(Detect(nullptr, Px(0x90).U32(4, 1).At(20, "LEAFAQUAPLUS", 12)), ImageFormat::PX);
  EXPECT_EQ(Detect("a.px", Px(0x0020000B).U16(4, 16)), ImageFormat::PX4);
  EXPECT_EQ(Detect("a.px", Px(0x0020000B).U16(4, 24)), ImageFormat::None);
  EXPECT_EQ(Detect("a.px", Px(0x0020000C)), ImageFormat::PX5);
  EXPECT_EQ(Detect("a.tga", Px(0x0020000C)), ImageFormat::None) << "another extension ends the search";
}

TEST(Detect, ShortDataIsTestedAsZeroPadded) {
  const uint8_t cz[] = {'c', 'z', '1', '0'};
  EXPECT_EQ(CreateDecoder(nullptr, ByteSpan{cz, 4}, nullptr), 1);
  EXPECT_EQ(CreateDecoder(nullptr, ByteSpan{cz, 3}, nullptr), 0);
  EXPECT_EQ(CreateDecoder("a.bbm", ByteSpan{nullptr, 0}, nullptr), 1) << "an all-zero header passes the BBM test";
}

}  // namespace
