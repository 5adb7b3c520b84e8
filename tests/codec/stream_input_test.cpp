// Reading a whole file from a stream that misbehaves.
#include <gtest/gtest.h>

#include <algorithm>

#include "codec/stream_input.h"
#include "tests/codec/fake_source.h"
#include "tests/fixtures/picture.h"

namespace {

Bytes Numbered(size_t size) {
  Bytes bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 251);
  return bytes;
}

bool Same(const FileBytes& file, const Bytes& bytes) {
  const ByteSpan s = file.span();
  return s.size == bytes.size() && std::equal(bytes.begin(), bytes.end(), s.data);
}

TEST(StreamInput, ReadsEveryByteWhateverTheStreamClaimsOrHowLittleEachReadGives) {
  // Sizes around the first chunk (64 KiB) and its doublings.
  for (size_t size : {size_t{0}, size_t{1}, size_t{65535}, size_t{65536}, size_t{65537}, size_t{200000}}) {
    const Bytes bytes = Numbered(size);
    for (int variant = 0; variant < 4; ++variant) {
      FakeSource source(bytes.data(), bytes.size());
      if (variant == 1) source.sayNoSize = true;
      if (variant == 2) source.claimed = size / 2;  // claims too little
      if (variant == 3) source.claimed = size * 3 + 10;  // claims too much
      if (size < 70000) source.chunk = 1 + variant * 1000;
      FileBytes file;
      ASSERT_EQ(ReadWholeStream(source, &file, kMaxPictureBytes), CodecStatus::Ok) << size << " " << variant;
      EXPECT_TRUE(Same(file, bytes)) << size << " " << variant;
    }
  }
}

TEST(StreamInput, StartsAtTheBeginningWhereverTheStreamStood) {
  const Bytes bytes = Numbered(1000);
  FakeSource source(bytes.data(), bytes.size());
  source.SeekTo(600);
  FileBytes file;
  ASSERT_EQ(ReadWholeStream(source, &file, kMaxPictureBytes), CodecStatus::Ok);
  EXPECT_TRUE(Same(file, bytes));
}

TEST(StreamInput, RefusesStreamsPastTheCapByClaimOrByContent) {
  const Bytes bytes = Numbered(5000);
  FakeSource claims(bytes.data(), bytes.size());
  claims.claimed = uint64_t{kMaxPictureBytes} + 1;
  FileBytes file;
  EXPECT_EQ(ReadWholeStream(claims, &file, kMaxPictureBytes), CodecStatus::TooLarge);
  EXPECT_EQ(claims.position(), 0u) << "nothing read";
  // A stream that hides its length is stopped one byte past the cap.
  for (bool sized : {false, true}) {
    FakeSource longer(bytes.data(), bytes.size());
    longer.sayNoSize = !sized;
    longer.claimed = 100;
    EXPECT_EQ(ReadWholeStream(longer, &file, 4999), CodecStatus::TooLarge);
    EXPECT_EQ(file.span().size, 0u);
    FakeSource exact(bytes.data(), bytes.size());
    exact.sayNoSize = !sized;
    EXPECT_EQ(ReadWholeStream(exact, &file, 5000), CodecStatus::Ok);
  }
}

TEST(StreamInput, FailedReadsAndSeeksAreStreamErrorsAndKeepNothing) {
  const Bytes bytes = Numbered(3000);
  for (uint64_t at : {uint64_t{0}, uint64_t{1}, uint64_t{2999}}) {
    FakeSource source(bytes.data(), bytes.size());
    source.chunk = 100;
    source.failReadAt = at;
    FileBytes file;
    EXPECT_EQ(ReadWholeStream(source, &file, kMaxPictureBytes), CodecStatus::StreamRead) << at;
    EXPECT_EQ(file.span().size, 0u);
  }
  FakeSource noSeek(bytes.data(), bytes.size());
  noSeek.failSeekFrom = 1;
  FileBytes file;
  EXPECT_EQ(ReadWholeStream(noSeek, &file, kMaxPictureBytes), CodecStatus::StreamRead);
}

TEST(StreamInput, TheHeadIsReadFromTheStartAndThePositionPutBack) {
  const Bytes bytes = Numbered(100);
  FakeSource source(bytes.data(), bytes.size());
  source.chunk = 3;
  source.SeekTo(42);
  uint8_t head[64];
  size_t got = 0;
  ASSERT_EQ(ReadStreamHead(source, head, sizeof head, &got), CodecStatus::Ok);
  EXPECT_EQ(got, 64u);
  EXPECT_TRUE(std::equal(head, head + 64, bytes.begin()));
  EXPECT_EQ(source.position(), 42u);
  // Short file: what there is.
  FakeSource shorter(bytes.data(), 10);
  ASSERT_EQ(ReadStreamHead(shorter, head, sizeof head, &got), CodecStatus::Ok);
  EXPECT_EQ(got, 10u);
  // A seek back that fails is reported, as is a failed read.
  for (int failing : {1, 2}) {
    FakeSource seeks(bytes.data(), bytes.size());
    seeks.failSeekFrom = failing;
    EXPECT_EQ(ReadStreamHead(seeks, head, sizeof head, &got), CodecStatus::StreamRead) << failing;
  }
  FakeSource reads(bytes.data(), bytes.size());
  reads.failReadAt = 5;
  reads.SeekTo(7);
  EXPECT_EQ(ReadStreamHead(reads, head, sizeof head, &got), CodecStatus::StreamRead);
  EXPECT_EQ(reads.position(), 7u);
}

}  // namespace
