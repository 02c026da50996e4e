#include "containers/WDL_Mutex.h"

#include <gtest/gtest.h>

#include <thread>

TEST(Mutex, OwnerReentersAndReleasesAfterAsManyLeaves) {
    WDL_Mutex mutex;
    mutex.Enter();
    mutex.Enter();
    EXPECT_TRUE(mutex.IsHeldByCaller());
    mutex.Leave();
    EXPECT_TRUE(mutex.IsHeldByCaller());
    mutex.Leave();
    EXPECT_FALSE(mutex.IsHeldByCaller());
}

TEST(Mutex, ExcludesOtherThreads) {
    WDL_Mutex mutex;
    long counter = 0;
    auto work = [&] {
        for (int i = 0; i < 20000; ++i) {
            WDL_MutexLock outer(&mutex);
            WDL_MutexLock inner(&mutex);
            ++counter;
        }
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
    EXPECT_EQ(counter, 40000);
}

TEST(Mutex, AnotherThreadDoesNotSeeItselfAsOwner) {
    WDL_Mutex mutex;
    WDL_MutexLock lock(&mutex);
    bool otherHolds = true;
    std::thread([&] { otherHolds = mutex.IsHeldByCaller(); }).join();
    EXPECT_FALSE(otherHolds);
}
