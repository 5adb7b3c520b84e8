// How a complete file takes the place of another: the way chosen from what
// is known of the target, and the rewrite of a file in place, which keeps
// the old bytes in a second file until the new ones are all written.
// Portable: the system's calls are behind FileAccess.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/bytes.h"

// What is known of the target before anything is written.
struct TargetFacts {
  bool named = false;      // something goes by the target's name: a file, a folder or a link
  bool reachable = false;  // it opens as a file, through any links
  bool readOnly = false;
  uint32_t names = 1;  // hard links of the file, its own name among them
};

enum class ReplaceWay {
  // A folder, a read-only file, a link to nothing, a file that may not be
  // looked at: left as it is, a write error.
  Refuse,
  // Nothing goes by that name: the complete temporary file is moved there.
  CreateNew,
  // The complete temporary file takes the file's place whole, with the
  // file's attributes and permissions.
  ReplaceWhole,
  // A file with other names: its bytes are rewritten, so that every name
  // sees the new picture.
  RewriteInPlace,
};

ReplaceWay ChooseReplaceWay(const TargetFacts& target);

// An open file: its size, reads and writes at an offset (all the bytes or
// false), a new size, and its bytes made durable.
class FileAccess {
 public:
  virtual ~FileAccess() = default;
  virtual bool Size(uint64_t* size) = 0;
  virtual bool Read(uint64_t offset, uint8_t* data, size_t size) = 0;
  virtual bool Write(uint64_t offset, const uint8_t* data, size_t size) = 0;
  virtual bool Resize(uint64_t size) = 0;
  virtual bool Flush() = 0;
};

enum class RewriteResult {
  Rewritten,  // the target holds the new bytes
  Unchanged,  // the target holds its old bytes
  // The target could not be put back after a failed write: its old bytes
  // are in the keeper, which must not be removed.
  OldBytesKept,
};

// Copies the target's bytes into `keeper` (an empty file), then writes the
// new bytes over the target's. A target that grows is grown before any of
// its bytes changes, so a full disk leaves it untouched; a write that
// fails after that puts the old bytes back from the keeper.
RewriteResult RewriteInPlace(FileAccess& target, FileAccess& keeper, ByteSpan bytes);
