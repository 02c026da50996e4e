#pragma once

// Allocation tracking for tests: the test binary replaces malloc and its relatives, so that a
// test can count the allocations its own thread makes, or make them fail. Not available in
// sanitizer builds, whose runtimes own the allocator; tests then skip.
namespace grindvox::test {

bool AllocationTrackingAvailable();

// Counts every allocation the constructing thread makes while the counter lives.
class AllocationCounter {
public:
    AllocationCounter();
    ~AllocationCounter();
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

    int Count() const;

private:
    int mStart;
};

// While it lives, the constructing thread's allocations succeed `successes` times, then fail
// `failures` times (-1: from then on), then succeed again. Frees are unaffected.
class AllocationFailure {
public:
    explicit AllocationFailure(int successes = 0, int failures = -1);
    ~AllocationFailure();
    AllocationFailure(const AllocationFailure&) = delete;
    AllocationFailure& operator=(const AllocationFailure&) = delete;
};

} // namespace grindvox::test

#define GRINDVOX_REQUIRE_ALLOCATION_TRACKING()                                                     \
    do {                                                                                           \
        if (!::grindvox::test::AllocationTrackingAvailable())                                      \
            GTEST_SKIP() << "allocation tracking is not available in sanitizer builds";            \
    } while (0)
