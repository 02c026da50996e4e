#pragma once

// Timers that send an action to a target from the run loop, and the run loop they are added
// to. A timer retains its target and user info until it is invalidated (a repeating timer only
// then; a one-shot timer after it fires).
#include <AppKit/NSObject.h>
#include <CoreFoundation/CFRunLoop.h>

class NSString;

// Run loop modes: the default, the mode of menu tracking, the mode of modal panels, and the
// common modes (every mode).
extern NSString* const NSDefaultRunLoopMode;
extern NSString* const NSRunLoopCommonModes;
extern NSString* const NSEventTrackingRunLoopMode;
extern NSString* const NSModalPanelRunLoopMode;

class NSTimer : public NSObject {
public:
    // A new autoreleased timer, not yet in a run loop, first firing after interval seconds.
    static NSTimer* timerWithTimeInterval_target_selector_userInfo_repeats(double interval,
                                                                           id target, SEL selector,
                                                                           id userInfo,
                                                                           BOOL repeats);
    // The same, added to the current run loop in the default mode.
    static NSTimer* scheduledTimerWithTimeInterval_target_selector_userInfo_repeats(
        double interval, id target, SEL selector, id userInfo, BOOL repeats);

    void invalidate();
    BOOL isValid() const;
    double timeInterval() const { return mInterval; }
    id userInfo() const { return mUserInfo; }
    // Calls the action now; a one-shot timer is invalidated.
    void fire();

    CFRunLoopTimerRef cfTimer() const { return mTimer; }
    // Called by the run loop the timer joins: it keeps the timer until it is invalidated.
    void scheduled();

protected:
    NSTimer(double interval, id target, SEL selector, id userInfo, BOOL repeats);
    ~NSTimer() override;

private:
    static void callout(CFRunLoopTimerRef timer, void* info);
    void dropTargets();

    CFRunLoopTimerRef mTimer;
    double mInterval;
    id mTarget;
    SEL mSelector;
    id mUserInfo;
    BOOL mRepeats;
    bool mScheduled = false;
};

class NSRunLoop : public NSObject {
public:
    // The calling thread's run loop object (owned by the thread).
    static NSRunLoop* currentRunLoop();
    static NSRunLoop* mainRunLoop();
    void addTimer_forMode(NSTimer* timer, NSString* mode);
    void addTimer_forMode(NSTimer* timer, CFStringRef mode);
    // Runs once in mode, waiting at most seconds; NO when the mode has nothing to run.
    BOOL runMode_beforeDelay(NSString* mode, double seconds);
    CFRunLoopRef getCFRunLoop() const { return mLoop; }

protected:
    explicit NSRunLoop(CFRunLoopRef loop) : mLoop(loop) {}

private:
    CFRunLoopRef mLoop;
};
