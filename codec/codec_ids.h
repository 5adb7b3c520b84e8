// The codec's identities: the classes it serves, its container format and
// its vendor, kept here once. The registration table and the COM glue both
// read them; the text form is what the registry holds.
#pragma once

#include <cstdint>
#include <string>

struct CodecGuid {
  uint32_t data1;
  uint16_t data2;
  uint16_t data3;
  uint8_t data4[8];
};

// The decoder class (IWICBitmapDecoder).
inline constexpr CodecGuid kDecoderClass = {0x9ac3f957, 0xc702, 0x454d, {0xb7, 0xc4, 0x67, 0x8a, 0xda, 0x60, 0xa6, 0xed}};
// The thumbnail provider class (IThumbnailProvider, IInitializeWithStream).
inline constexpr CodecGuid kThumbnailClass = {
    0xb38fe722, 0xe227, 0x4072, {0x8e, 0xf4, 0x5f, 0xc1, 0x40, 0x94, 0x7b, 0x20}};
// The container format every Leaf picture reports.
inline constexpr CodecGuid kContainerFormat = {
    0x5a93810d, 0x355b, 0x4f7d, {0xa8, 0xb5, 0x41, 0x0b, 0xa0, 0x3d, 0xce, 0xcc}};
// Our vendor identity.
inline constexpr CodecGuid kVendor = {0x241adae0, 0x40c6, 0x4d8b, {0x95, 0xd5, 0x77, 0x65, 0x07, 0xfb, 0x55, 0x74}};

// Identities of Windows that the registration names.
// The imaging component's decoder category.
inline constexpr CodecGuid kWicDecoderCategory = {
    0x7ed96837, 0x96f0, 0x4812, {0xb2, 0x11, 0xf1, 0x3c, 0x24, 0x11, 0x7e, 0xd3}};
// IThumbnailProvider: the shell's handler key for thumbnails.
inline constexpr CodecGuid kThumbnailHandlerKey = {
    0xe357fccd, 0xa995, 0x4576, {0xb0, 0x1f, 0x23, 0x46, 0x30, 0x15, 0x4e, 0x96}};
// The pixel formats the decoder hands out.
inline constexpr CodecGuid kPixelFormat32bppBGRA = {
    0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x0f}};
inline constexpr CodecGuid kPixelFormat24bppBGR = {
    0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x0c}};
inline constexpr CodecGuid kPixelFormat16bppBGR555 = {
    0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x09}};
inline constexpr CodecGuid kPixelFormat8bppIndexed = {
    0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x04}};

// "{9AC3F957-C702-454D-B7C4-678ADA60A6ED}", as the registry writes class identities.
std::wstring GuidText(const CodecGuid& guid);
