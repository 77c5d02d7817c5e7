// Heap allocations counted through the sanitizer's malloc hook (every malloc,
// calloc, realloc and operator new of the calling thread), so that a test can show
// that a stretch of frames allocates nothing.
#pragma once
#include <cstdint>

uint64_t AllocationCount();
bool AllocationsCounted();  // false in a build without the sanitizers: nothing is counted
