// Replaces the global allocation functions of the test program. Every plain and array form, with
// and without size or nothrow, is replaced together, so what one allocates the other frees: the
// address sanitizer would report a mix of its own and these as a mismatch.
#include "failing_allocation.h"

#include <cstdlib>
#include <new>

namespace {

thread_local bool t_failNext = false;

void* Allocate(std::size_t size) {
    if (t_failNext) {
        t_failNext = false;
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    throw std::bad_alloc();
}

void* AllocateOrNull(std::size_t size) noexcept {
    try {
        return Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace

namespace tessary::testing {

FailNextAllocation::FailNextAllocation() { t_failNext = true; }
FailNextAllocation::~FailNextAllocation() { t_failNext = false; }

}  // namespace tessary::testing

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return AllocateOrNull(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return AllocateOrNull(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
