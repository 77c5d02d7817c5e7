#include "tests/heap.h"

#include <cstddef>

static thread_local uint64_t allocations;  // the calling thread's own: the GL driver's workers allocate for themselves
static void CountMalloc(const volatile void*, size_t) { allocations++; }
static void IgnoreFree(const volatile void*) {}

// Present only in a sanitized build; weak so that a plain build links without it.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                         void (*)(const volatile void*)) __attribute__((weak));
static const bool hooked =
    __sanitizer_install_malloc_and_free_hooks && __sanitizer_install_malloc_and_free_hooks(CountMalloc, IgnoreFree);

uint64_t AllocationCount() { return allocations; }
bool AllocationsCounted() { return hooked; }
