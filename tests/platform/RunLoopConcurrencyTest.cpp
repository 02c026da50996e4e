#include <CoreFoundation/CoreFoundation.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

TEST(RunLoopThreads, AnotherThreadStopsALoopAsleepInItsWait) {
    CFRunLoopRef loop = CFRunLoopGetCurrent();
    // A timer far in the future gives the mode something to run, so the loop sleeps.
    CFRunLoopTimerRef idle = CFRunLoopTimerCreate(
        nullptr, CFAbsoluteTimeGetCurrent() + 3600, 3600, 0, 0, [](CFRunLoopTimerRef, void*) {},
        nullptr);
    CFRunLoopAddTimer(loop, idle, kCFRunLoopDefaultMode);
    std::thread stopper([loop] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        CFRunLoopStop(loop);
    });
    CFAbsoluteTime start = CFAbsoluteTimeGetCurrent();
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 20.0, false), kCFRunLoopRunStopped);
    EXPECT_LT(CFAbsoluteTimeGetCurrent() - start, 5.0);
    stopper.join();
    CFRunLoopTimerInvalidate(idle);
    CFRelease(idle);
}
