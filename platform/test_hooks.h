// Test controls of the native platform layer: count what is allocated and
// make a chosen allocation fail, so that every failure path can be driven.
#pragma once

#include <cstddef>

#include "base/susie_abi.h"

namespace platform::test {

// Makes the n-th allocation from now (movable block or heap, counting from
// 1) fail; 0 switches failures off.
void FailAllocationNumber(int n);
// Allocations made since the last FailAllocationNumber call.
int AllocationsSoFar();
// Blocks and heap buffers currently alive.
int LiveAllocations();
// Lock count of a movable block (0 when it is unlocked).
int LockCount(SpiHandle block);
// Any single allocation above this size fails, as a real heap would; the
// fuzzers use it to keep header-driven sizes inside their memory budget.
void SetAllocationLimit(size_t bytes);

}  // namespace platform::test
