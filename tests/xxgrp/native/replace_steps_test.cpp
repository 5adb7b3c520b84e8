// How xxgrp.dll puts a file in place of another, apart from the system's
// calls: the way chosen for each kind of target, and the rewrite in place
// of a file with several names, with every write that can fail failing.
#include "xxgrp/replace_steps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

TEST(ChooseReplaceWay, ByWhatGoesByTheTargetsName) {
  const auto way = [](bool named, bool reachable, bool readOnly, uint32_t names) {
    return ChooseReplaceWay(TargetFacts{named, reachable, readOnly, names});
  };
  EXPECT_EQ(way(false, false, false, 1), ReplaceWay::CreateNew);
  EXPECT_EQ(way(true, true, false, 1), ReplaceWay::ReplaceWhole);
  EXPECT_EQ(way(true, true, false, 2), ReplaceWay::RewriteInPlace) << "a file with a second hard link";
  EXPECT_EQ(way(true, true, true, 1), ReplaceWay::Refuse) << "read-only";
  EXPECT_EQ(way(true, true, true, 3), ReplaceWay::Refuse) << "read-only, with more names";
  EXPECT_EQ(way(true, false, false, 1), ReplaceWay::Refuse) << "a folder, or a link whose file is gone";
}

// A file in memory whose writes and resizes fail where a test says: the
// n-th of them (from 1), or that one and every one after it. A failing
// write still puts its first byte down, as a write cut short does.
class MemoryFile : public FileAccess {
 public:
  explicit MemoryFile(std::string bytes = "") : bytes_(std::move(bytes)) {}
  void FailChange(int change, bool onward = false) {
    failing_ = change;
    onward_ = onward;
  }
  void FailReads() { readsFail_ = true; }
  const std::string& bytes() const { return bytes_; }
  int flushes() const { return flushes_; }

  bool Size(uint64_t* size) override {
    *size = bytes_.size();
    return true;
  }
  bool Read(uint64_t offset, uint8_t* data, size_t size) override {
    if (readsFail_ || offset + size > bytes_.size()) return false;
    bytes_.copy(reinterpret_cast<char*>(data), size, static_cast<size_t>(offset));
    return true;
  }
  bool Write(uint64_t offset, const uint8_t* data, size_t size) override {
    const bool fails = Fails();
    Put(offset, data, fails ? std::min<size_t>(size, 1) : size);
    return !fails;
  }
  bool Resize(uint64_t size) override {
    if (Fails()) return false;
    bytes_.resize(static_cast<size_t>(size));
    return true;
  }
  bool Flush() override {
    ++flushes_;
    return true;
  }

 private:
  bool Fails() {
    ++changes_;
    return failing_ > 0 && (changes_ == failing_ || (onward_ && changes_ > failing_));
  }
  void Put(uint64_t offset, const uint8_t* data, size_t size) {
    if (bytes_.size() < offset + size) bytes_.resize(static_cast<size_t>(offset + size));
    bytes_.replace(static_cast<size_t>(offset), size, reinterpret_cast<const char*>(data), size);
  }

  std::string bytes_;
  int changes_ = 0;
  int failing_ = 0;
  bool onward_ = false;
  bool readsFail_ = false;
  int flushes_ = 0;
};

ByteSpan Span(const std::string& text) { return ByteSpan{reinterpret_cast<const uint8_t*>(text.data()), text.size()}; }

TEST(RewriteInPlace, GrowsAndShrinksKeepingTheOldBytesAside) {
  const std::string longer = "a picture longer than the old one";
  MemoryFile target("old bytes"), keeper;
  EXPECT_EQ(RewriteInPlace(target, keeper, Span(longer)), RewriteResult::Rewritten);
  EXPECT_EQ(target.bytes(), longer);
  EXPECT_EQ(keeper.bytes(), "old bytes");
  EXPECT_GT(target.flushes(), 0);
  EXPECT_GT(keeper.flushes(), 0) << "the old bytes are durable before the target changes";

  MemoryFile shrinking(longer), keeper2;
  EXPECT_EQ(RewriteInPlace(shrinking, keeper2, Span("short")), RewriteResult::Rewritten);
  EXPECT_EQ(shrinking.bytes(), "short");
}

TEST(RewriteInPlace, AFileLargerThanOneCopyChunk) {
  std::string old(3u << 20, 'o');
  old.back() = 'e';
  MemoryFile target(old), keeper;
  EXPECT_EQ(RewriteInPlace(target, keeper, Span("new")), RewriteResult::Rewritten);
  EXPECT_EQ(keeper.bytes(), old);
}

// Each failure leaves the target with its old bytes, or, where even they
// cannot be put back, says that the keeper holds them.
TEST(RewriteInPlace, FailuresLeaveTheOldBytes) {
  const std::string old = "the old picture", longer = "a new picture, longer than the old", shorter = "new";
  const struct {
    const char* what;
    const std::string& bytes;
    int failingChange;  // of the target: growing, writing, cutting to size, then putting back
    bool onward;
    RewriteResult result;
  } cases[] = {
      {"the disk is full: the target cannot grow", longer, 1, false, RewriteResult::Unchanged},
      {"the write fails part way", longer, 2, false, RewriteResult::Unchanged},
      {"cutting to the new size fails", shorter, 2, false, RewriteResult::Unchanged},
      {"the write fails, and so does putting back", longer, 2, true, RewriteResult::OldBytesKept},
  };
  for (const auto& c : cases) {
    MemoryFile target(old), keeper;
    target.FailChange(c.failingChange, c.onward);
    EXPECT_EQ(RewriteInPlace(target, keeper, Span(c.bytes)), c.result) << c.what;
    EXPECT_EQ(c.result == RewriteResult::Unchanged ? target.bytes() : keeper.bytes(), old) << c.what;
  }
  MemoryFile unread(old), keeper;
  unread.FailReads();
  EXPECT_EQ(RewriteInPlace(unread, keeper, Span(longer)), RewriteResult::Unchanged);
  EXPECT_EQ(unread.bytes(), old);
  MemoryFile target(old), full;
  full.FailChange(1);  // no room for the old bytes: the target is not touched
  EXPECT_EQ(RewriteInPlace(target, full, Span(longer)), RewriteResult::Unchanged);
  EXPECT_EQ(target.bytes(), old);
}

}  // namespace
