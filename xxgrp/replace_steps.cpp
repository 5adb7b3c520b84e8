#include "xxgrp/replace_steps.h"

#include <algorithm>
#include <vector>

namespace {

constexpr uint64_t kCopyChunk = 1u << 20;

// The first `size` bytes of `from` as the whole of `to`, made durable.
bool CopyWhole(FileAccess& from, FileAccess& to, uint64_t size) {
  std::vector<uint8_t> buffer(static_cast<size_t>(std::min(size, kCopyChunk)));
  for (uint64_t at = 0; at < size;) {
    const size_t chunk = static_cast<size_t>(std::min(size - at, kCopyChunk));
    if (!from.Read(at, buffer.data(), chunk) || !to.Write(at, buffer.data(), chunk)) return false;
    at += chunk;
  }
  return to.Resize(size) && to.Flush();
}

}  // namespace

ReplaceWay ChooseReplaceWay(const TargetFacts& target) {
  if (!target.named) return ReplaceWay::CreateNew;
  if (!target.reachable || target.readOnly) return ReplaceWay::Refuse;
  return target.names > 1 ? ReplaceWay::RewriteInPlace : ReplaceWay::ReplaceWhole;
}

RewriteResult RewriteInPlace(FileAccess& target, FileAccess& keeper, ByteSpan bytes) {
  uint64_t oldSize = 0;
  if (!target.Size(&oldSize) || !CopyWhole(target, keeper, oldSize)) return RewriteResult::Unchanged;
  if (bytes.size > oldSize && !target.Resize(bytes.size)) {
    target.Resize(oldSize);
    return RewriteResult::Unchanged;
  }
  if (target.Write(0, bytes.data, bytes.size) && target.Resize(bytes.size) && target.Flush())
    return RewriteResult::Rewritten;
  return CopyWhole(keeper, target, oldSize) ? RewriteResult::Unchanged : RewriteResult::OldBytesKept;
}
