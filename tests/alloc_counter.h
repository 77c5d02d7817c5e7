// Counts the heap allocations made by the calling thread, so that a test can show
// that a stretch of code (one frame of the rules, one drawn frame) allocates nothing:
//     uint64_t before = AllocationCount();  RunRulesFrame();
//     EXPECT_EQ(AllocationCount(), before);
// Every operator new is counted; under AddressSanitizer every malloc, calloc,
// realloc and aligned allocation is counted as well. Other threads are not counted.
#pragma once
#include <cstdint>

uint64_t AllocationCount();      // any test: allocations by this thread so far
bool AllocationCountSeesMalloc();  // any test: true when plain malloc and friends are counted too
