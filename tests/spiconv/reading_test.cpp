// Reading a file for a plug-in, and the names a plug-in is given.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/spiconv/file_bytes.h"

namespace {

// A temporary stream holding `bytes`, read from its start.
std::FILE* StreamOf(const std::string& bytes) {
  std::FILE* stream = std::tmpfile();
  std::fwrite(bytes.data(), 1, bytes.size(), stream);
  std::rewind(stream);
  return stream;
}

TEST(ReadWhole, GivesTheBytesFollowedByTwoZeros) {
  const std::string bytes(200000, 'p');  // several chunks
  std::FILE* in = StreamOf(bytes);
  FileBlock file;
  ASSERT_EQ(ReadWhole(in, bytes.size(), 1 << 20, &file), ReadResult::Ok);
  std::fclose(in);
  ASSERT_EQ(file.size(), bytes.size());
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.data()), file.size()), bytes);
  EXPECT_EQ(file.data()[bytes.size()], 0);
  EXPECT_EQ(file.data()[bytes.size() + 1], 0);

  std::FILE* empty = StreamOf("");
  ASSERT_EQ(ReadWhole(empty, 0, 1 << 20, &file), ReadResult::Ok);
  std::fclose(empty);
  EXPECT_EQ(file.size(), 0u);
  EXPECT_EQ(file.data()[0], 0);
}

TEST(ReadWhole, RefusesMoreThanTheCapBeforeOrWhileReading) {
  const std::string bytes(100000, 'p');
  std::FILE* in = StreamOf(bytes);
  FileBlock file;
  // Refused from the size alone: nothing read.
  EXPECT_EQ(ReadWhole(in, bytes.size(), bytes.size() - 1, &file), ReadResult::TooLarge);
  EXPECT_EQ(std::ftell(in), 0);
  // A file that grew after its size was taken.
  EXPECT_EQ(ReadWhole(in, 10, bytes.size() - 1, &file), ReadResult::TooLarge);
  EXPECT_EQ(file.size(), 0u);
  std::rewind(in);
  EXPECT_EQ(ReadWhole(in, 10, bytes.size(), &file), ReadResult::Ok);
  EXPECT_EQ(file.size(), bytes.size());
  std::fclose(in);
}

TEST(ReadWhole, AFailedReadIsAnErrorNotAShortFile) {
  // Reading a folder opened as a file fails with EISDIR.
  std::FILE* folder = std::fopen("/", "rb");
  ASSERT_NE(folder, nullptr);
  FileBlock file;
  EXPECT_EQ(ReadWhole(folder, 4096, 1 << 20, &file), ReadResult::ReadError);
  EXPECT_EQ(file.size(), 0u);
  uint8_t header[kHeaderBytes];
  EXPECT_EQ(ReadHeader(folder, header, sizeof header), ReadResult::ReadError);
  std::fclose(folder);
}

TEST(ReadHeader, FillsWhatTheFileLacksWithZeros) {
  std::FILE* in = StreamOf("abc");
  uint8_t header[8];
  std::memset(header, 0xCC, sizeof header);
  ASSERT_EQ(ReadHeader(in, header, sizeof header), ReadResult::Ok);
  std::fclose(in);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(header), sizeof header), std::string("abc\0\0\0\0\0", 8));
}

}  // namespace
