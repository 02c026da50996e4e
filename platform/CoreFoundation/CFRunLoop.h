#pragma once

// The run loop of a thread: timers, file-descriptor sources and observers, each added for a
// mode. A program pumps its thread's loop with CFRunLoopRunInMode; the loop fires the timers
// that are due, calls the observers around its wait, and sleeps in poll() on the sources'
// descriptors until the next timer or the time asked for.
//
// Modes are strings compared by content. An item added for kCFRunLoopCommonModes runs in
// every mode, so a repeating timer added that way keeps firing while a nested loop (a popup
// menu, a modal panel) runs in its own mode; an item added for any other mode runs only
// while the loop runs in that mode.
//
// A run loop belongs to its thread: timers, sources and observers are added, removed and fired
// on that thread. CFRunLoopStop and CFRunLoopWakeUp may be called from any thread.
#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFDate.h>

CF_EXTERN_C_BEGIN

typedef struct __CFRunLoop* CFRunLoopRef;
typedef struct __CFRunLoopTimer* CFRunLoopTimerRef;
typedef struct __CFRunLoopObserver* CFRunLoopObserverRef;
typedef struct __CFRunLoopSource* CFRunLoopSourceRef;
typedef CFStringRef CFRunLoopMode;

CF_EXPORT const CFStringRef kCFRunLoopDefaultMode;
CF_EXPORT const CFStringRef kCFRunLoopCommonModes;

// Results of CFRunLoopRunInMode.
enum {
    kCFRunLoopRunFinished = 1,     // the mode has no timers and no sources
    kCFRunLoopRunStopped = 2,      // CFRunLoopStop
    kCFRunLoopRunTimedOut = 3,     // the time asked for passed
    kCFRunLoopRunHandledSource = 4 // a source fired and the caller asked to return then
};

typedef CFOptionFlags CFRunLoopActivity;
enum {
    kCFRunLoopEntry = (1UL << 0),
    kCFRunLoopBeforeTimers = (1UL << 1),
    kCFRunLoopBeforeSources = (1UL << 2),
    kCFRunLoopBeforeWaiting = (1UL << 5),
    kCFRunLoopAfterWaiting = (1UL << 6),
    kCFRunLoopExit = (1UL << 7),
    kCFRunLoopAllActivities = 0x0FFFFFFFU
};

// The calling thread's run loop, made at the first call; not owned by the caller.
CF_EXPORT CFRunLoopRef CFRunLoopGetCurrent(void);
// The run loop of the thread that first asked for a run loop of any kind.
CF_EXPORT CFRunLoopRef CFRunLoopGetMain(void);

// Runs the current thread's loop in mode for at most seconds (0: one pass, firing what is due
// and handling what is ready without waiting). Nested calls run the inner mode until they
// return. A NULL mode is the default mode.
CF_EXPORT SInt32 CFRunLoopRunInMode(CFRunLoopMode mode, CFTimeInterval seconds,
                                    Boolean returnAfterSourceHandled);
// Runs the default mode until stopped or until it has nothing left to run.
CF_EXPORT void CFRunLoopRun(void);
// Makes the innermost running CFRunLoopRunInMode of rl return kCFRunLoopRunStopped.
CF_EXPORT void CFRunLoopStop(CFRunLoopRef rl);
// Ends the current wait of rl early.
CF_EXPORT void CFRunLoopWakeUp(CFRunLoopRef rl);
// The mode the loop runs in now (a new reference), or NULL when it is not running.
CF_EXPORT CFRunLoopMode CFRunLoopCopyCurrentMode(CFRunLoopRef rl);

// ---- Timers ----

typedef void (*CFRunLoopTimerCallBack)(CFRunLoopTimerRef timer, void* info);

typedef struct {
    CFIndex version;
    void* info;
    const void* (*retain)(const void* info);
    void (*release)(const void* info);
    CFStringRef (*copyDescription)(const void* info);
} CFRunLoopTimerContext;

// A timer first due at fireDate, then every interval seconds (0 or less: it fires once).
// context->info is retained through context->retain when given, and released when the timer
// is invalidated or freed. The caller owns the new timer; a run loop it is added to keeps its
// own reference until the timer is invalidated or removed.
CF_EXPORT CFRunLoopTimerRef CFRunLoopTimerCreate(CFAllocatorRef allocator, CFAbsoluteTime fireDate,
                                                 CFTimeInterval interval, CFOptionFlags flags,
                                                 CFIndex order, CFRunLoopTimerCallBack callout,
                                                 CFRunLoopTimerContext* context);
// A timer belongs to one run loop; adding it to a second one does nothing. Adding it for
// several modes makes it run in each.
CF_EXPORT void CFRunLoopAddTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer, CFRunLoopMode mode);
CF_EXPORT void CFRunLoopRemoveTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer, CFRunLoopMode mode);
CF_EXPORT Boolean CFRunLoopContainsTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer,
                                         CFRunLoopMode mode);
// Stops the timer for good: it leaves every run loop and never fires again, even when it is
// invalidated from inside its own callout or from a nested loop.
CF_EXPORT void CFRunLoopTimerInvalidate(CFRunLoopTimerRef timer);
CF_EXPORT Boolean CFRunLoopTimerIsValid(CFRunLoopTimerRef timer);
CF_EXPORT CFAbsoluteTime CFRunLoopTimerGetNextFireDate(CFRunLoopTimerRef timer);
CF_EXPORT void CFRunLoopTimerSetNextFireDate(CFRunLoopTimerRef timer, CFAbsoluteTime fireDate);
CF_EXPORT CFTimeInterval CFRunLoopTimerGetInterval(CFRunLoopTimerRef timer);
CF_EXPORT Boolean CFRunLoopTimerDoesRepeat(CFRunLoopTimerRef timer);
CF_EXPORT void CFRunLoopTimerGetContext(CFRunLoopTimerRef timer, CFRunLoopTimerContext* context);
CF_EXPORT CFTypeID CFRunLoopTimerGetTypeID(void);

// ---- Observers ----

typedef void (*CFRunLoopObserverCallBack)(CFRunLoopObserverRef observer, CFRunLoopActivity activity,
                                          void* info);

typedef struct {
    CFIndex version;
    void* info;
    const void* (*retain)(const void* info);
    void (*release)(const void* info);
    CFStringRef (*copyDescription)(const void* info);
} CFRunLoopObserverContext;

// An observer called at the activities given; one that does not repeat is invalidated after
// its first call. Lower orders are called first.
CF_EXPORT CFRunLoopObserverRef CFRunLoopObserverCreate(CFAllocatorRef allocator,
                                                       CFOptionFlags activities, Boolean repeats,
                                                       CFIndex order,
                                                       CFRunLoopObserverCallBack callout,
                                                       CFRunLoopObserverContext* context);
CF_EXPORT void CFRunLoopAddObserver(CFRunLoopRef rl, CFRunLoopObserverRef observer,
                                    CFRunLoopMode mode);
CF_EXPORT void CFRunLoopRemoveObserver(CFRunLoopRef rl, CFRunLoopObserverRef observer,
                                       CFRunLoopMode mode);
CF_EXPORT void CFRunLoopObserverInvalidate(CFRunLoopObserverRef observer);
CF_EXPORT Boolean CFRunLoopObserverIsValid(CFRunLoopObserverRef observer);

// ---- Sources ----

CF_EXPORT void CFRunLoopAddSource(CFRunLoopRef rl, CFRunLoopSourceRef source, CFRunLoopMode mode);
CF_EXPORT void CFRunLoopRemoveSource(CFRunLoopRef rl, CFRunLoopSourceRef source,
                                     CFRunLoopMode mode);
CF_EXPORT void CFRunLoopSourceInvalidate(CFRunLoopSourceRef source);
CF_EXPORT Boolean CFRunLoopSourceIsValid(CFRunLoopSourceRef source);

CF_EXTERN_C_END
