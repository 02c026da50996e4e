#include <CoreFoundation/CFFileDescriptor.h>
#include <CoreFoundation/CFRunLoop.h>
#include <CoreFoundation/CoreFoundation.h>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

struct Counter {
    int fired = 0;
    CFRunLoopTimerRef stopAfter3 = nullptr;
};

void count(CFRunLoopTimerRef timer, void* info) {
    auto* c = static_cast<Counter*>(info);
    ++c->fired;
    if (c->stopAfter3 == timer && c->fired == 3) CFRunLoopTimerInvalidate(timer);
}

CFRunLoopTimerRef makeTimer(Counter* counter, double interval) {
    CFRunLoopTimerContext context = {0, counter, nullptr, nullptr, nullptr};
    return CFRunLoopTimerCreate(nullptr, CFAbsoluteTimeGetCurrent() + interval, interval, 0, 0,
                                count, &context);
}

} // namespace

TEST(RunLoop, AModeWithNothingToRunFinishesAtOnce) {
    EXPECT_EQ(CFRunLoopRunInMode(CFSTR("NothingHere"), 10.0, false), kCFRunLoopRunFinished);
}

TEST(RunLoop, RepeatingTimerFiresUntilItInvalidatesItself) {
    Counter counter;
    CFRunLoopTimerRef timer = makeTimer(&counter, 0.005);
    counter.stopAfter3 = timer;
    CFRunLoopAddTimer(CFRunLoopGetCurrent(), timer, kCFRunLoopDefaultMode);
    // Once the timer is gone the mode has nothing left and the loop finishes on its own.
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 2.0, false), kCFRunLoopRunFinished);
    EXPECT_EQ(counter.fired, 3);
    EXPECT_FALSE(CFRunLoopTimerIsValid(timer));
    CFRelease(timer);
}

TEST(RunLoop, CommonModeTimersFireInANestedModeAndDefaultModeTimersWait) {
    Counter common, plain;
    CFRunLoopTimerRef commonTimer = makeTimer(&common, 0.005);
    CFRunLoopTimerRef plainTimer = makeTimer(&plain, 0.005);
    CFRunLoopAddTimer(CFRunLoopGetCurrent(), commonTimer, kCFRunLoopCommonModes);
    CFRunLoopAddTimer(CFRunLoopGetCurrent(), plainTimer, kCFRunLoopDefaultMode);
    // Slices of the nested mode until the common timer has fired three times (a loaded machine
    // may need more than the timer's interval for each).
    EXPECT_EQ(CFRunLoopRunInMode(CFSTR("Tracking"), 0.02, false), kCFRunLoopRunTimedOut);
    for (int slice = 0; slice < 500 && common.fired < 3; ++slice)
        CFRunLoopRunInMode(CFSTR("Tracking"), 0.01, false);
    EXPECT_GE(common.fired, 3);
    EXPECT_EQ(plain.fired, 0);
    for (int slice = 0; slice < 500 && plain.fired < 1; ++slice)
        CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.01, false);
    EXPECT_GE(plain.fired, 1);
    CFRunLoopTimerInvalidate(commonTimer);
    CFRunLoopTimerInvalidate(plainTimer);
    CFRelease(commonTimer);
    CFRelease(plainTimer);
}

TEST(RunLoop, OneShotTimerFiresOnceAndReleasesItsInfo) {
    static int released = 0;
    released = 0;
    Counter counter;
    CFRunLoopTimerContext context = {0, &counter, nullptr, [](const void*) { ++released; },
                                     nullptr};
    CFRunLoopTimerRef timer =
        CFRunLoopTimerCreate(nullptr, CFAbsoluteTimeGetCurrent(), 0, 0, 0, count, &context);
    CFRunLoopAddTimer(CFRunLoopGetCurrent(), timer, kCFRunLoopDefaultMode);
    CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.05, false);
    EXPECT_EQ(counter.fired, 1);
    EXPECT_EQ(released, 1);
    CFRelease(timer);
}

TEST(RunLoop, ReadableDescriptorRunsItsCalloutOncePerEnable) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    static int calls = 0;
    calls = 0;
    CFFileDescriptorRef f = CFFileDescriptorCreate(
        nullptr, fds[0], true, [](CFFileDescriptorRef, CFOptionFlags, void*) { ++calls; }, nullptr);
    CFFileDescriptorEnableCallBacks(f, kCFFileDescriptorReadCallBack);
    CFRunLoopSourceRef source = CFFileDescriptorCreateRunLoopSource(nullptr, f, 0);
    CFRunLoopAddSource(CFRunLoopGetCurrent(), source, kCFRunLoopCommonModes);
    ASSERT_EQ(write(fds[1], "x", 1), 1);
    EXPECT_EQ(CFRunLoopRunInMode(CFSTR("Panel"), 1.0, true), kCFRunLoopRunHandledSource);
    // Not read and not enabled again: the callout does not run a second time.
    EXPECT_EQ(CFRunLoopRunInMode(CFSTR("Panel"), 0.02, true), kCFRunLoopRunTimedOut);
    EXPECT_EQ(calls, 1);
    CFFileDescriptorInvalidate(f);
    EXPECT_FALSE(CFRunLoopSourceIsValid(source));
    CFRelease(source);
    CFRelease(f);
    close(fds[1]);
}

TEST(RunLoop, StopEndsTheInnermostRun) {
    Counter counter;
    CFRunLoopTimerContext context = {0, &counter, nullptr, nullptr, nullptr};
    CFRunLoopTimerRef timer = CFRunLoopTimerCreate(
        nullptr, CFAbsoluteTimeGetCurrent(), 0.001, 0, 0,
        [](CFRunLoopTimerRef, void*) { CFRunLoopStop(CFRunLoopGetCurrent()); }, &context);
    CFRunLoopAddTimer(CFRunLoopGetCurrent(), timer, kCFRunLoopCommonModes);
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 5.0, false), kCFRunLoopRunStopped);
    CFRunLoopTimerInvalidate(timer);
    CFRelease(timer);
}
