#include "tests/support/memory_limit.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> gHeld{0};
// SIZE_MAX: no limit.
std::atomic<std::size_t> gCeiling{static_cast<std::size_t>(-1)};

void* Allocate(std::size_t size, std::size_t alignment, bool throwing)
{
    if (size == 0)
        size = 1;
    void* block = nullptr;
    if (gHeld.load() + size <= gCeiling.load()) {
        if (alignment <= alignof(std::max_align_t))
            block = std::malloc(size);
        else
            block = std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
    }
    if (block == nullptr) {
        if (throwing)
            throw std::bad_alloc();
        return nullptr;
    }
    gHeld += malloc_usable_size(block);
    return block;
}

void Release(void* block) noexcept
{
    if (block == nullptr)
        return;
    gHeld -= malloc_usable_size(block);
    std::free(block);
}

} // namespace

namespace carlume::test {

ScopedMemoryLimit::ScopedMemoryLimit(std::size_t bytes)
{
    gCeiling = gHeld.load() + bytes;
}

ScopedMemoryLimit::~ScopedMemoryLimit()
{
    gCeiling = static_cast<std::size_t>(-1);
}

} // namespace carlume::test

void* operator new(std::size_t size)
{
    return Allocate(size, 0, true);
}
void* operator new[](std::size_t size)
{
    return Allocate(size, 0, true);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size, 0, false);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size, 0, false);
}
void* operator new(std::size_t size, std::align_val_t alignment)
{
    return Allocate(size, std::size_t(alignment), true);
}
void* operator new[](std::size_t size, std::align_val_t alignment)
{
    return Allocate(size, std::size_t(alignment), true);
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return Allocate(size, std::size_t(alignment), false);
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return Allocate(size, std::size_t(alignment), false);
}
void operator delete(void* block) noexcept
{
    Release(block);
}
void operator delete[](void* block) noexcept
{
    Release(block);
}
void operator delete(void* block, std::size_t) noexcept
{
    Release(block);
}
void operator delete[](void* block, std::size_t) noexcept
{
    Release(block);
}
void operator delete(void* block, std::align_val_t) noexcept
{
    Release(block);
}
void operator delete[](void* block, std::align_val_t) noexcept
{
    Release(block);
}
void operator delete(void* block, std::size_t, std::align_val_t) noexcept
{
    Release(block);
}
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept
{
    Release(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept
{
    Release(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    Release(block);
}
