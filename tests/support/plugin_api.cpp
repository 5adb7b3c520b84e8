#include "tests/support/plugin_api.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/platform.h"

namespace {

// Handle arguments start as this value so that a write to them shows.
uint8_t untouchedMark;
SpiHandle const kUntouched = &untouchedMark;

Bytes TakeBlock(SpiHandle block) {
  const size_t size = platform::MovableSize(block);
  Bytes bytes(size);
  if (size) {
    std::memcpy(bytes.data(), platform::LockMovable(block), size);
    platform::UnlockMovable(block);
  }
  platform::FreeMovable(block);
  return bytes;
}

Decoded Collect(int result, SpiHandle info, SpiHandle bits) {
  Decoded d;
  d.result = result;
  d.handed = info != kUntouched && bits != kUntouched;
  if (result == 0 && d.handed) {
    d.unlocked = IsUnlocked(info) && IsUnlocked(bits);
    d.info = TakeBlock(info);
    d.bits = TakeBlock(bits);
  }
  return d;
}

}  // namespace

Decoded DecodeMemory(const Bytes& file, ProgressCallback callback, SpiLongPtr userData) {
  SpiHandle info = kUntouched, bits = kUntouched;
  const int result = Plugin().getPicture(reinterpret_cast<const char*>(file.data()),
                                         static_cast<SpiLongPtr>(file.size()), 1, &info, &bits, callback, userData);
  return Collect(result, info, bits);
}

Decoded DecodeFile(const std::string& path, SpiLongPtr offset, ProgressCallback callback, SpiLongPtr userData) {
  SpiHandle info = kUntouched, bits = kUntouched;
  const int result = Plugin().getPicture(path.c_str(), offset, 0, &info, &bits, callback, userData);
  return Collect(result, info, bits);
}

PictureInfo InfoOf(const Bytes& file, int expectedResult) {
  PictureInfo info{};
  EXPECT_EQ(Plugin().getPictureInfo(reinterpret_cast<const char*>(file.data()), static_cast<SpiLongPtr>(file.size()), 1,
                                    &info),
            expectedResult);
  return info;
}

std::string WriteTempFile(const std::string& name, const Bytes& bytes) {
  static const std::filesystem::path folder = [] {
    auto path = std::filesystem::temp_directory_path() / ("mornel-tests-" + std::to_string(std::rand()));
    std::filesystem::create_directories(path);
    return path;
  }();
  const std::filesystem::path path = folder / name;
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path.string();
}
