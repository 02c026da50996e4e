#pragma once

#include <atomic>

// A field that one thread writes while another reads it, with no order needed between them: a
// control's value and flags, which a host thread sets while the UI thread draws. Loads and
// stores are relaxed atomics, so they cost what plain ones do. A compound assignment is a load
// and a store, not one atomic step: only the UI thread changes a value relative to itself,
// other threads only store.
template <typename T>
class RelaxedAtomic {
public:
    constexpr RelaxedAtomic(T value = T()) : mValue(value) {}
    RelaxedAtomic(const RelaxedAtomic& other) : mValue(other.Load()) {}
    RelaxedAtomic& operator=(const RelaxedAtomic& other) { return *this = other.Load(); }

    T Load() const { return mValue.load(std::memory_order_relaxed); }
    operator T() const { return Load(); }
    RelaxedAtomic& operator=(T value) {
        mValue.store(value, std::memory_order_relaxed);
        return *this;
    }
    RelaxedAtomic& operator+=(T delta) { return *this = Load() + delta; }
    RelaxedAtomic& operator-=(T delta) { return *this = Load() - delta; }

private:
    std::atomic<T> mValue;
};
