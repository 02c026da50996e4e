#include <AppKit/NSString.h>
#include <AppKit/NSTimer.h>

NSString* const NSDefaultRunLoopMode = new NSString("kCFRunLoopDefaultMode");
NSString* const NSRunLoopCommonModes = new NSString("kCFRunLoopCommonModes");
NSString* const NSEventTrackingRunLoopMode = new NSString("NSEventTrackingRunLoopMode");
NSString* const NSModalPanelRunLoopMode = new NSString("NSModalPanelRunLoopMode");

NSTimer::NSTimer(double interval, id target, SEL selector, id userInfo, BOOL repeats)
    : mInterval(interval), mTarget(target ? target->retain() : nil), mSelector(selector),
      mUserInfo(userInfo ? userInfo->retain() : nil), mRepeats(repeats) {
    // The timer object is the callout's info: not retained by the CF timer, which this object
    // owns and invalidates before it goes.
    CFRunLoopTimerContext context = {0, this, nullptr, nullptr, nullptr};
    double after = interval > 0 ? interval : 0;
    mTimer = CFRunLoopTimerCreate(nullptr, CFAbsoluteTimeGetCurrent() + after,
                                  repeats ? (interval > 0 ? interval : 0.0001) : 0, 0, 0, callout,
                                  &context);
}

NSTimer::~NSTimer() {
    if (mTimer) {
        CFRunLoopTimerInvalidate(mTimer);
        CFRelease(mTimer);
    }
    dropTargets();
}

void NSTimer::dropTargets() {
    id target = mTarget, info = mUserInfo;
    mTarget = nil;
    mUserInfo = nil;
    if (target) target->release();
    if (info) info->release();
}

NSTimer* NSTimer::timerWithTimeInterval_target_selector_userInfo_repeats(double interval, id target,
                                                                         SEL selector, id userInfo,
                                                                         BOOL repeats) {
    auto* timer = new NSTimer(interval, target, selector, userInfo, repeats);
    return static_cast<NSTimer*>(timer->autorelease());
}

NSTimer* NSTimer::scheduledTimerWithTimeInterval_target_selector_userInfo_repeats(
    double interval, id target, SEL selector, id userInfo, BOOL repeats) {
    NSTimer* timer = timerWithTimeInterval_target_selector_userInfo_repeats(
        interval, target, selector, userInfo, repeats);
    NSRunLoop::currentRunLoop()->addTimer_forMode(timer, NSDefaultRunLoopMode);
    return timer;
}

void NSTimer::callout(CFRunLoopTimerRef, void* info) {
    static_cast<NSTimer*>(info)->fire();
}

void NSTimer::fire() {
    if (!isValid() || !mTarget) return;
    // The action may invalidate and release this timer, and release its target.
    retain();
    id target = mTarget->retain();
    target->performSelector_withObject(mSelector, this);
    target->release();
    if (!mRepeats) invalidate();
    release();
}

void NSTimer::invalidate() {
    if (mTimer) CFRunLoopTimerInvalidate(mTimer);
    dropTargets();
    // The run loop's reference goes last: it may be the final one.
    if (mScheduled) {
        mScheduled = false;
        release();
    }
}

void NSTimer::scheduled() {
    if (mScheduled || !isValid()) return;
    mScheduled = true;
    retain();
}

BOOL NSTimer::isValid() const {
    return mTimer && CFRunLoopTimerIsValid(mTimer);
}

// ---- NSRunLoop ----

namespace {

// The NSRunLoop constructor is protected; each thread's object is made here and freed with the
// thread.
class ThreadRunLoop : public NSRunLoop {
public:
    explicit ThreadRunLoop(CFRunLoopRef loop) : NSRunLoop(loop) {}
};

struct LoopHolder {
    NSRunLoop* loop = nil;
    ~LoopHolder() {
        if (loop) loop->release();
    }
};

thread_local LoopHolder tLoop;

} // namespace

NSRunLoop* NSRunLoop::currentRunLoop() {
    if (!tLoop.loop) tLoop.loop = new ThreadRunLoop(CFRunLoopGetCurrent());
    return tLoop.loop;
}

NSRunLoop* NSRunLoop::mainRunLoop() {
    return currentRunLoop();
}

void NSRunLoop::addTimer_forMode(NSTimer* timer, NSString* mode) {
    if (!timer || !mode) return;
    CFStringRef cfMode = mode->copyCFString();
    addTimer_forMode(timer, cfMode);
    CFRelease(cfMode);
}

void NSRunLoop::addTimer_forMode(NSTimer* timer, CFStringRef mode) {
    if (!timer || !mode || !timer->isValid()) return;
    CFRunLoopAddTimer(mLoop, timer->cfTimer(), mode);
    timer->scheduled();
}

BOOL NSRunLoop::runMode_beforeDelay(NSString* mode, double seconds) {
    CFStringRef cfMode = mode ? mode->copyCFString() : nullptr;
    SInt32 result = CFRunLoopRunInMode(cfMode, seconds, true);
    if (cfMode) CFRelease(cfMode);
    return result != kCFRunLoopRunFinished;
}
