#pragma once
// Allocation failure on demand, for the paths that must survive std::bad_alloc. Only the native
// test build replaces the allocation functions (it defines TESSARY_FAILING_ALLOCATION); the tests
// that need it skip elsewhere.

namespace tessary::testing {

// While it lives, the calling thread's next allocation through operator new throws
// std::bad_alloc; the ones after it succeed again. Other threads are not affected.
class FailNextAllocation {
public:
    FailNextAllocation();
    ~FailNextAllocation();
    FailNextAllocation(const FailNextAllocation&) = delete;
    FailNextAllocation& operator=(const FailNextAllocation&) = delete;
};

}  // namespace tessary::testing
