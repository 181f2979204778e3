// tests/support/allocation_counter.cpp -- global operator new and delete that count while asked to.
#include "tests/support/allocation_counter.h"

#include <cstdlib>
#include <new>

std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};

namespace {

void* countedAllocation(std::size_t size)
{
    if (gCounting) ++gAllocations;
    void* memory = std::malloc(size ? size : 1);
    if (!memory) throw std::bad_alloc();
    return memory;
}

}  // namespace

void* operator new(std::size_t size) { return countedAllocation(size); }
void* operator new[](std::size_t size) { return countedAllocation(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (gCounting) ++gAllocations;
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
