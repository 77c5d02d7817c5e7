// Replaces every form of operator new and delete in the test binary with one that
// counts and then uses malloc/free (so AddressSanitizer still checks the memory).
// Under AddressSanitizer a malloc hook counts C allocations too; then operator new
// leaves the counting to the hook so nothing is counted twice.
#include "tests/alloc_counter.h"

#include <cstdlib>
#include <new>

namespace {

thread_local uint64_t allocations;
bool malloc_hooked;

void CountMalloc(const volatile void*, size_t) { allocations++; }
void IgnoreFree(const volatile void*) {}

void* Allocate(std::size_t size)
{
    if (!malloc_hooked)
        allocations++;
    return std::malloc(size ? size : 1);
}

void* AllocateAligned(std::size_t size, std::align_val_t align)
{
    if (!malloc_hooked)
        allocations++;
    std::size_t alignment = (std::size_t)align;
    if (alignment < sizeof(void*))
        alignment = sizeof(void*);
    void* p = nullptr;
    return posix_memalign(&p, alignment, size ? size : 1) == 0 ? p : nullptr;
}

}  // namespace

// Present only in a sanitized build; weak so that a plain build links without it.
extern "C" int __sanitizer_install_malloc_and_free_hooks(
    void (*malloc_hook)(const volatile void*, size_t), void (*free_hook)(const volatile void*))
    __attribute__((weak));

static const bool hooks_installed = [] {
    if (__sanitizer_install_malloc_and_free_hooks)
        malloc_hooked = __sanitizer_install_malloc_and_free_hooks(CountMalloc, IgnoreFree) != 0;
    return malloc_hooked;
}();

uint64_t AllocationCount() { return allocations; }
bool AllocationCountSeesMalloc() { return hooks_installed; }

void* operator new(std::size_t size)
{
    if (void* p = Allocate(size))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new(std::size_t size, std::align_val_t align)
{
    if (void* p = AllocateAligned(size, align))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t align) { return operator new(size, align); }
void* operator new(std::size_t size, std::align_val_t align, const std::nothrow_t&) noexcept
{
    return AllocateAligned(size, align);
}
void* operator new[](std::size_t size, std::align_val_t align, const std::nothrow_t&) noexcept
{
    return AllocateAligned(size, align);
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
