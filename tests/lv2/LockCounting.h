#pragma once

// Lock counting for tests: the test binary replaces pthread_mutex_lock, _trylock and _unlock
// (exported, so modules it loads call them too), so that a test can count the mutex calls its
// own thread makes. Like allocation tracking, not available in sanitizer builds.
namespace grindvox::test {

bool LockCountingAvailable();

// Counts every mutex lock, try-lock and unlock the constructing thread makes while it lives.
class LockCounter {
public:
    LockCounter();
    int Count() const;

private:
    int mStart;
};

} // namespace grindvox::test
