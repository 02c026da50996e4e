#include "CoreFoundation/CFRuntime_p.h"

#include <CoreFoundation/CFFileDescriptor.h>
#include <CoreFoundation/CFRunLoop.h>
#include <CoreFoundation/CFString.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <new>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/time.h>
#include <unistd.h>
#include <vector>

// The mode names are constant strings compared by content.
const CFStringRef kCFRunLoopDefaultMode = CFSTR("kCFRunLoopDefaultMode");
const CFStringRef kCFRunLoopCommonModes = CFSTR("kCFRunLoopCommonModes");
const CFTimeInterval kCFAbsoluteTimeIntervalSince1970 = 978307200.0;

CFAbsoluteTime CFAbsoluteTimeGetCurrent(void) {
    timeval now;
    gettimeofday(&now, nullptr);
    return static_cast<double>(now.tv_sec) - kCFAbsoluteTimeIntervalSince1970 +
           static_cast<double>(now.tv_usec) * 1e-6;
}

namespace {

// The modes one item (timer, observer or source) was added for, each retained.
struct ModeSet {
    std::vector<CFStringRef> modes;

    bool Contains(CFStringRef mode) const {
        for (CFStringRef m : modes)
            if (CFEqual(m, mode)) return true;
        return false;
    }
    // Whether the item runs while the loop runs in mode.
    bool RunsIn(CFStringRef mode) const {
        for (CFStringRef m : modes)
            if (CFEqual(m, kCFRunLoopCommonModes) || CFEqual(m, mode)) return true;
        return false;
    }
    void Add(CFStringRef mode) {
        if (Contains(mode)) return;
        modes.push_back(CFStringCreateCopy(nullptr, mode));
    }
    void Remove(CFStringRef mode) {
        for (size_t i = 0; i < modes.size(); ++i) {
            if (!CFEqual(modes[i], mode)) continue;
            CFRelease(modes[i]);
            modes.erase(modes.begin() + static_cast<long>(i));
            return;
        }
    }
    void Clear() {
        for (CFStringRef m : modes)
            CFRelease(m);
        modes.clear();
    }
};

// Each kind of item keeps its C++ state apart from the zeroed object header, constructed in
// place after creation and destroyed by the finalizer.
struct TimerState {
    CFRunLoopTimerCallBack callout = nullptr;
    CFRunLoopTimerContext context{};
    CFTimeInterval interval = 0;
    CFAbsoluteTime nextFire = 0;
    CFIndex order = 0;
    bool valid = true;
    bool firing = false;
    CFRunLoopRef loop = nullptr;
    ModeSet modes;
};

struct ObserverState {
    CFRunLoopObserverCallBack callout = nullptr;
    CFRunLoopObserverContext context{};
    CFOptionFlags activities = 0;
    bool repeats = true;
    bool valid = true;
    CFIndex order = 0;
    CFRunLoopRef loop = nullptr;
    ModeSet modes;
};

struct SourceState {
    CFFileDescriptorRef descriptor = nullptr; // retained
    CFIndex order = 0;
    bool valid = true;
    CFRunLoopRef loop = nullptr;
    ModeSet modes;
};

struct LoopState {
    std::vector<CFRunLoopTimerRef> timers; // each retained
    std::vector<CFRunLoopObserverRef> observers;
    std::vector<CFRunLoopSourceRef> sources;
    std::vector<CFStringRef> modeStack; // the running modes, innermost last, retained
    std::atomic<bool> stopRequested{false};
    int wakeFd = -1;
};

} // namespace

struct __CFRunLoop {
    CFRuntimeBase base;
    LoopState state;
};

struct __CFRunLoopTimer {
    CFRuntimeBase base;
    TimerState state;
};

struct __CFRunLoopObserver {
    CFRuntimeBase base;
    ObserverState state;
};

struct __CFRunLoopSource {
    CFRuntimeBase base;
    SourceState state;
};

struct __CFFileDescriptor {
    CFRuntimeBase base;
    int fd;
    bool closeOnInvalidate;
    bool valid;
    CFOptionFlags enabled;
    CFFileDescriptorCallBack callout;
    CFFileDescriptorContext context;
    CFRunLoopSourceRef source; // not retained: the source retains the descriptor
};

namespace {

enum : CFTypeID {
    kRunLoopTypeID = 43,
    kTimerTypeID = 44,
    kObserverTypeID = 45,
    kSourceTypeID = 46,
    kFileDescriptorTypeID = 47
};

void finalizeLoop(CFTypeRef cf) {
    auto* rl = static_cast<__CFRunLoop*>(const_cast<void*>(cf));
    LoopState& s = rl->state;
    for (CFRunLoopTimerRef t : s.timers)
        CFRelease(t);
    for (CFRunLoopObserverRef o : s.observers)
        CFRelease(o);
    for (CFRunLoopSourceRef src : s.sources)
        CFRelease(src);
    for (CFStringRef m : s.modeStack)
        CFRelease(m);
    if (s.wakeFd >= 0) close(s.wakeFd);
    s.~LoopState();
}

void releaseTimerInfo(TimerState& s) {
    if (s.context.release && s.context.info) s.context.release(s.context.info);
    s.context.info = nullptr;
    s.context.release = nullptr;
}

void finalizeTimer(CFTypeRef cf) {
    auto* t = static_cast<__CFRunLoopTimer*>(const_cast<void*>(cf));
    releaseTimerInfo(t->state);
    t->state.modes.Clear();
    t->state.~TimerState();
}

void releaseObserverInfo(ObserverState& s) {
    if (s.context.release && s.context.info) s.context.release(s.context.info);
    s.context.info = nullptr;
    s.context.release = nullptr;
}

void finalizeObserver(CFTypeRef cf) {
    auto* o = static_cast<__CFRunLoopObserver*>(const_cast<void*>(cf));
    releaseObserverInfo(o->state);
    o->state.modes.Clear();
    o->state.~ObserverState();
}

void finalizeSource(CFTypeRef cf) {
    auto* src = static_cast<__CFRunLoopSource*>(const_cast<void*>(cf));
    if (src->state.descriptor) {
        src->state.descriptor->source = nullptr;
        CFRelease(src->state.descriptor);
    }
    src->state.modes.Clear();
    src->state.~SourceState();
}

void invalidateDescriptor(__CFFileDescriptor* f) {
    if (!f->valid) return;
    f->valid = false;
    f->enabled = 0;
    if (f->closeOnInvalidate && f->fd >= 0) close(f->fd);
    if (f->context.release && f->context.info) f->context.release(f->context.info);
    f->context.info = nullptr;
}

void finalizeDescriptor(CFTypeRef cf) {
    invalidateDescriptor(static_cast<__CFFileDescriptor*>(const_cast<void*>(cf)));
}

const CFRuntimeClass kLoopClass = {kRunLoopTypeID, "CFRunLoop", finalizeLoop,
                                   nullptr,        nullptr,     nullptr};
const CFRuntimeClass kTimerClass = {kTimerTypeID, "CFRunLoopTimer", finalizeTimer,
                                    nullptr,      nullptr,          nullptr};
const CFRuntimeClass kObserverClass = {
    kObserverTypeID, "CFRunLoopObserver", finalizeObserver, nullptr, nullptr, nullptr};
const CFRuntimeClass kSourceClass = {kSourceTypeID, "CFRunLoopSource", finalizeSource,
                                     nullptr,       nullptr,           nullptr};
const CFRuntimeClass kDescriptorClass = {
    kFileDescriptorTypeID, "CFFileDescriptor", finalizeDescriptor, nullptr, nullptr, nullptr};

// Frees the thread's run loop when the thread ends.
struct LoopOwner {
    CFRunLoopRef loop = nullptr;
    ~LoopOwner() {
        if (loop) CFRelease(loop);
    }
};

thread_local LoopOwner tLoop;
std::atomic<CFRunLoopRef> gMainLoop{nullptr};

template <class T>
void eraseRef(std::vector<T>& items, T item) {
    auto it = std::find(items.begin(), items.end(), item);
    if (it == items.end()) return;
    items.erase(it);
    CFRelease(item);
}

// Retained copies, so that callouts may add and remove items while the loop walks them.
template <class T>
std::vector<T> snapshot(const std::vector<T>& items) {
    std::vector<T> copy(items);
    for (T item : copy)
        CFRetain(item);
    return copy;
}

template <class T>
void releaseAll(std::vector<T>& items) {
    for (T item : items)
        CFRelease(item);
    items.clear();
}

bool timerRunsIn(CFRunLoopTimerRef t, CFStringRef mode) {
    return t->state.valid && !t->state.firing && t->state.modes.RunsIn(mode);
}

bool sourceRunsIn(CFRunLoopSourceRef src, CFStringRef mode) {
    return src->state.valid && src->state.modes.RunsIn(mode);
}

bool modeHasWork(CFRunLoopRef rl, CFStringRef mode) {
    for (CFRunLoopTimerRef t : rl->state.timers)
        if (t->state.valid && t->state.modes.RunsIn(mode)) return true;
    for (CFRunLoopSourceRef src : rl->state.sources)
        if (sourceRunsIn(src, mode)) return true;
    return false;
}

void notifyObservers(CFRunLoopRef rl, CFStringRef mode, CFRunLoopActivity activity) {
    std::vector<CFRunLoopObserverRef> observers = snapshot(rl->state.observers);
    std::stable_sort(observers.begin(), observers.end(),
                     [](CFRunLoopObserverRef a, CFRunLoopObserverRef b) {
                         return a->state.order < b->state.order;
                     });
    for (CFRunLoopObserverRef o : observers) {
        ObserverState& s = o->state;
        if (!s.valid || !(s.activities & activity) || !s.modes.RunsIn(mode)) continue;
        if (!s.repeats) CFRunLoopObserverInvalidate(o);
        s.callout(o, activity, s.context.info);
    }
    releaseAll(observers);
}

// The first fire date after now on the timer's grid, so that a loop that was busy skips the
// ticks it missed instead of firing them all at once.
CFAbsoluteTime nextOnGrid(CFAbsoluteTime fired, CFTimeInterval interval, CFAbsoluteTime now) {
    CFAbsoluteTime next = fired + interval;
    if (next > now) return next;
    double missed = std::floor((now - fired) / interval);
    next = fired + (missed + 1) * interval;
    return next > now ? next : now + interval;
}

// Fires every timer of the mode that is due; answers whether any fired.
bool fireTimers(CFRunLoopRef rl, CFStringRef mode) {
    CFAbsoluteTime now = CFAbsoluteTimeGetCurrent();
    std::vector<CFRunLoopTimerRef> due;
    for (CFRunLoopTimerRef t : rl->state.timers)
        if (timerRunsIn(t, mode) && t->state.nextFire <= now) due.push_back(t);
    std::stable_sort(due.begin(), due.end(), [](CFRunLoopTimerRef a, CFRunLoopTimerRef b) {
        return a->state.order < b->state.order;
    });
    for (CFRunLoopTimerRef t : due)
        CFRetain(t);
    for (CFRunLoopTimerRef t : due) {
        TimerState& s = t->state;
        // An earlier callout may have invalidated this one, or started firing it in a nested loop.
        if (!timerRunsIn(t, mode)) continue;
        bool repeats = s.interval > 0;
        if (repeats) s.nextFire = nextOnGrid(s.nextFire, s.interval, now);
        s.firing = true;
        s.callout(t, s.context.info);
        s.firing = false;
        if (!repeats) CFRunLoopTimerInvalidate(t);
    }
    bool fired = !due.empty();
    releaseAll(due);
    return fired;
}

// Milliseconds poll() may sleep: until the next timer of the mode or the deadline.
int waitMilliseconds(CFRunLoopRef rl, CFStringRef mode, CFAbsoluteTime deadline) {
    CFAbsoluteTime until = deadline;
    for (CFRunLoopTimerRef t : rl->state.timers)
        if (timerRunsIn(t, mode)) until = std::min(until, t->state.nextFire);
    double ms = std::ceil((until - CFAbsoluteTimeGetCurrent()) * 1000.0);
    if (ms <= 0) return 0;
    return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

// Waits on the mode's descriptors and calls the callouts of those that became ready; answers
// whether any did.
bool waitAndHandleSources(CFRunLoopRef rl, CFStringRef mode, int timeoutMs) {
    std::vector<CFRunLoopSourceRef> sources;
    std::vector<pollfd> fds;
    fds.push_back({rl->state.wakeFd, POLLIN, 0});
    for (CFRunLoopSourceRef src : rl->state.sources) {
        CFFileDescriptorRef f = src->state.descriptor;
        if (!sourceRunsIn(src, mode) || !f->valid || !f->enabled) continue;
        short events = 0;
        if (f->enabled & kCFFileDescriptorReadCallBack) events |= POLLIN;
        if (f->enabled & kCFFileDescriptorWriteCallBack) events |= POLLOUT;
        sources.push_back(src);
        fds.push_back({f->fd, events, 0});
    }
    int ready = poll(fds.data(), fds.size(), timeoutMs);
    if (ready <= 0) return false;
    if (fds[0].revents & POLLIN) {
        uint64_t count;
        ssize_t ignored = read(rl->state.wakeFd, &count, sizeof count);
        (void)ignored;
    }
    for (CFRunLoopSourceRef src : sources)
        CFRetain(src);
    bool handled = false;
    for (size_t i = 0; i < sources.size(); ++i) {
        short revents = fds[i + 1].revents;
        CFFileDescriptorRef f = sources[i]->state.descriptor;
        if (!revents || !f->valid || !sources[i]->state.valid) continue;
        CFOptionFlags types = 0;
        if (revents & (POLLIN | POLLHUP | POLLERR)) types |= kCFFileDescriptorReadCallBack;
        if (revents & POLLOUT) types |= kCFFileDescriptorWriteCallBack;
        types &= f->enabled;
        if (!types) continue;
        f->enabled &= ~types;
        CFRetain(f);
        f->callout(f, types, f->context.info);
        CFRelease(f);
        handled = true;
    }
    releaseAll(sources);
    return handled;
}

CFRunLoopRef createLoop() {
    auto* rl = static_cast<__CFRunLoop*>(CFRuntimeCreateInstance(&kLoopClass, sizeof(__CFRunLoop)));
    if (!rl) return nullptr;
    new (&rl->state) LoopState;
    rl->state.wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    return rl;
}

} // namespace

CFRunLoopRef CFRunLoopGetCurrent(void) {
    if (!tLoop.loop) {
        tLoop.loop = createLoop();
        CFRunLoopRef expected = nullptr;
        gMainLoop.compare_exchange_strong(expected, tLoop.loop);
    }
    return tLoop.loop;
}

CFRunLoopRef CFRunLoopGetMain(void) {
    CFRunLoopRef main = gMainLoop.load();
    return main ? main : CFRunLoopGetCurrent();
}

SInt32 CFRunLoopRunInMode(CFRunLoopMode mode, CFTimeInterval seconds,
                          Boolean returnAfterSourceHandled) {
    CFRunLoopRef rl = CFRunLoopGetCurrent();
    if (!rl) return kCFRunLoopRunFinished;
    if (!mode) mode = kCFRunLoopDefaultMode;
    if (!modeHasWork(rl, mode)) return kCFRunLoopRunFinished;
    LoopState& s = rl->state;
    CFAbsoluteTime deadline = CFAbsoluteTimeGetCurrent() + std::max(0.0, seconds);
    s.modeStack.push_back(CFStringCreateCopy(nullptr, mode));
    notifyObservers(rl, mode, kCFRunLoopEntry);
    SInt32 result = kCFRunLoopRunTimedOut;
    for (;;) {
        if (s.stopRequested.exchange(false)) {
            result = kCFRunLoopRunStopped;
            break;
        }
        notifyObservers(rl, mode, kCFRunLoopBeforeTimers);
        fireTimers(rl, mode);
        if (!modeHasWork(rl, mode)) {
            result = kCFRunLoopRunFinished;
            break;
        }
        notifyObservers(rl, mode, kCFRunLoopBeforeSources);
        bool pollOnly = CFAbsoluteTimeGetCurrent() >= deadline;
        // A source already ready is handled without sleeping first.
        bool handled = waitAndHandleSources(rl, mode, 0);
        if (!handled && !pollOnly && !s.stopRequested.load()) {
            notifyObservers(rl, mode, kCFRunLoopBeforeWaiting);
            handled = waitAndHandleSources(rl, mode, waitMilliseconds(rl, mode, deadline));
            notifyObservers(rl, mode, kCFRunLoopAfterWaiting);
        }
        if (handled && returnAfterSourceHandled) {
            result = kCFRunLoopRunHandledSource;
            break;
        }
        if (s.stopRequested.exchange(false)) {
            result = kCFRunLoopRunStopped;
            break;
        }
        if (CFAbsoluteTimeGetCurrent() >= deadline) {
            // A last look at what became due while the loop slept up to the deadline.
            fireTimers(rl, mode);
            notifyObservers(rl, mode, kCFRunLoopBeforeWaiting);
            result = kCFRunLoopRunTimedOut;
            break;
        }
        if (!modeHasWork(rl, mode)) {
            result = kCFRunLoopRunFinished;
            break;
        }
    }
    notifyObservers(rl, mode, kCFRunLoopExit);
    CFRelease(s.modeStack.back());
    s.modeStack.pop_back();
    return result;
}

void CFRunLoopRun(void) {
    for (;;) {
        SInt32 result = CFRunLoopRunInMode(kCFRunLoopDefaultMode, 1.0e10, false);
        if (result == kCFRunLoopRunStopped || result == kCFRunLoopRunFinished) return;
    }
}

void CFRunLoopStop(CFRunLoopRef rl) {
    if (!rl) return;
    rl->state.stopRequested.store(true);
    CFRunLoopWakeUp(rl);
}

void CFRunLoopWakeUp(CFRunLoopRef rl) {
    if (!rl || rl->state.wakeFd < 0) return;
    uint64_t one = 1;
    ssize_t ignored = write(rl->state.wakeFd, &one, sizeof one);
    (void)ignored;
}

CFRunLoopMode CFRunLoopCopyCurrentMode(CFRunLoopRef rl) {
    if (!rl || rl->state.modeStack.empty()) return nullptr;
    return static_cast<CFStringRef>(CFRetain(rl->state.modeStack.back()));
}

// ---- Timers ----

CFRunLoopTimerRef CFRunLoopTimerCreate(CFAllocatorRef, CFAbsoluteTime fireDate,
                                       CFTimeInterval interval, CFOptionFlags, CFIndex order,
                                       CFRunLoopTimerCallBack callout,
                                       CFRunLoopTimerContext* context) {
    if (!callout) return nullptr;
    auto* t = static_cast<__CFRunLoopTimer*>(
        CFRuntimeCreateInstance(&kTimerClass, sizeof(__CFRunLoopTimer)));
    if (!t) return nullptr;
    new (&t->state) TimerState;
    TimerState& s = t->state;
    s.callout = callout;
    s.interval = interval > 0 ? interval : 0;
    s.nextFire = fireDate;
    s.order = order;
    if (context) {
        s.context = *context;
        if (s.context.retain && s.context.info)
            s.context.info = const_cast<void*>(s.context.retain(s.context.info));
    }
    return t;
}

void CFRunLoopAddTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer, CFRunLoopMode mode) {
    if (!rl || !timer || !mode || !timer->state.valid) return;
    TimerState& s = timer->state;
    if (s.loop && s.loop != rl) return;
    if (!s.loop) {
        s.loop = rl;
        rl->state.timers.push_back(
            static_cast<CFRunLoopTimerRef>(const_cast<void*>(CFRetain(timer))));
    }
    s.modes.Add(mode);
}

void CFRunLoopRemoveTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer, CFRunLoopMode mode) {
    if (!rl || !timer || !mode || timer->state.loop != rl) return;
    TimerState& s = timer->state;
    s.modes.Remove(mode);
    if (!s.modes.modes.empty()) return;
    s.loop = nullptr;
    eraseRef(rl->state.timers, timer);
}

Boolean CFRunLoopContainsTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer, CFRunLoopMode mode) {
    return rl && timer && mode && timer->state.loop == rl && timer->state.modes.Contains(mode);
}

void CFRunLoopTimerInvalidate(CFRunLoopTimerRef timer) {
    if (!timer || !timer->state.valid) return;
    TimerState& s = timer->state;
    s.valid = false;
    CFRetain(timer);
    if (s.loop) {
        CFRunLoopRef rl = s.loop;
        s.loop = nullptr;
        s.modes.Clear();
        eraseRef(rl->state.timers, timer);
    }
    releaseTimerInfo(s);
    CFRelease(timer);
}

Boolean CFRunLoopTimerIsValid(CFRunLoopTimerRef timer) {
    return timer && timer->state.valid;
}

CFAbsoluteTime CFRunLoopTimerGetNextFireDate(CFRunLoopTimerRef timer) {
    return timer ? timer->state.nextFire : 0;
}

void CFRunLoopTimerSetNextFireDate(CFRunLoopTimerRef timer, CFAbsoluteTime fireDate) {
    if (!timer) return;
    timer->state.nextFire = fireDate;
    if (timer->state.loop) CFRunLoopWakeUp(timer->state.loop);
}

CFTimeInterval CFRunLoopTimerGetInterval(CFRunLoopTimerRef timer) {
    return timer ? timer->state.interval : 0;
}

Boolean CFRunLoopTimerDoesRepeat(CFRunLoopTimerRef timer) {
    return timer && timer->state.interval > 0;
}

void CFRunLoopTimerGetContext(CFRunLoopTimerRef timer, CFRunLoopTimerContext* context) {
    if (timer && context) *context = timer->state.context;
}

CFTypeID CFRunLoopTimerGetTypeID(void) {
    return kTimerTypeID;
}

// ---- Observers ----

CFRunLoopObserverRef CFRunLoopObserverCreate(CFAllocatorRef, CFOptionFlags activities,
                                             Boolean repeats, CFIndex order,
                                             CFRunLoopObserverCallBack callout,
                                             CFRunLoopObserverContext* context) {
    if (!callout) return nullptr;
    auto* o = static_cast<__CFRunLoopObserver*>(
        CFRuntimeCreateInstance(&kObserverClass, sizeof(__CFRunLoopObserver)));
    if (!o) return nullptr;
    new (&o->state) ObserverState;
    ObserverState& s = o->state;
    s.callout = callout;
    s.activities = activities;
    s.repeats = repeats;
    s.order = order;
    if (context) {
        s.context = *context;
        if (s.context.retain && s.context.info)
            s.context.info = const_cast<void*>(s.context.retain(s.context.info));
    }
    return o;
}

void CFRunLoopAddObserver(CFRunLoopRef rl, CFRunLoopObserverRef observer, CFRunLoopMode mode) {
    if (!rl || !observer || !mode || !observer->state.valid) return;
    ObserverState& s = observer->state;
    if (s.loop && s.loop != rl) return;
    if (!s.loop) {
        s.loop = rl;
        rl->state.observers.push_back(
            static_cast<CFRunLoopObserverRef>(const_cast<void*>(CFRetain(observer))));
    }
    s.modes.Add(mode);
}

void CFRunLoopRemoveObserver(CFRunLoopRef rl, CFRunLoopObserverRef observer, CFRunLoopMode mode) {
    if (!rl || !observer || !mode || observer->state.loop != rl) return;
    ObserverState& s = observer->state;
    s.modes.Remove(mode);
    if (!s.modes.modes.empty()) return;
    s.loop = nullptr;
    eraseRef(rl->state.observers, observer);
}

void CFRunLoopObserverInvalidate(CFRunLoopObserverRef observer) {
    if (!observer || !observer->state.valid) return;
    ObserverState& s = observer->state;
    s.valid = false;
    CFRetain(observer);
    if (s.loop) {
        CFRunLoopRef rl = s.loop;
        s.loop = nullptr;
        s.modes.Clear();
        eraseRef(rl->state.observers, observer);
    }
    releaseObserverInfo(s);
    CFRelease(observer);
}

Boolean CFRunLoopObserverIsValid(CFRunLoopObserverRef observer) {
    return observer && observer->state.valid;
}

// ---- Sources ----

void CFRunLoopAddSource(CFRunLoopRef rl, CFRunLoopSourceRef source, CFRunLoopMode mode) {
    if (!rl || !source || !mode || !source->state.valid) return;
    SourceState& s = source->state;
    if (s.loop && s.loop != rl) return;
    if (!s.loop) {
        s.loop = rl;
        rl->state.sources.push_back(
            static_cast<CFRunLoopSourceRef>(const_cast<void*>(CFRetain(source))));
    }
    s.modes.Add(mode);
}

void CFRunLoopRemoveSource(CFRunLoopRef rl, CFRunLoopSourceRef source, CFRunLoopMode mode) {
    if (!rl || !source || !mode || source->state.loop != rl) return;
    SourceState& s = source->state;
    s.modes.Remove(mode);
    if (!s.modes.modes.empty()) return;
    s.loop = nullptr;
    eraseRef(rl->state.sources, source);
}

void CFRunLoopSourceInvalidate(CFRunLoopSourceRef source) {
    if (!source || !source->state.valid) return;
    SourceState& s = source->state;
    s.valid = false;
    CFRetain(source);
    if (s.loop) {
        CFRunLoopRef rl = s.loop;
        s.loop = nullptr;
        s.modes.Clear();
        eraseRef(rl->state.sources, source);
    }
    CFRelease(source);
}

Boolean CFRunLoopSourceIsValid(CFRunLoopSourceRef source) {
    return source && source->state.valid;
}

// ---- File descriptors ----

CFFileDescriptorRef CFFileDescriptorCreate(CFAllocatorRef, CFFileDescriptorNativeDescriptor fd,
                                           Boolean closeOnInvalidate,
                                           CFFileDescriptorCallBack callout,
                                           const CFFileDescriptorContext* context) {
    if (fd < 0 || !callout) return nullptr;
    auto* f = static_cast<__CFFileDescriptor*>(
        CFRuntimeCreateInstance(&kDescriptorClass, sizeof(__CFFileDescriptor)));
    if (!f) return nullptr;
    f->fd = fd;
    f->closeOnInvalidate = closeOnInvalidate;
    f->valid = true;
    f->callout = callout;
    if (context) {
        f->context = *context;
        if (f->context.retain && f->context.info)
            f->context.info = f->context.retain(f->context.info);
    }
    return f;
}

CFFileDescriptorNativeDescriptor CFFileDescriptorGetNativeDescriptor(CFFileDescriptorRef f) {
    return f ? f->fd : -1;
}

void CFFileDescriptorEnableCallBacks(CFFileDescriptorRef f, CFOptionFlags callBackTypes) {
    if (!f || !f->valid) return;
    f->enabled |= callBackTypes & (kCFFileDescriptorReadCallBack | kCFFileDescriptorWriteCallBack);
    if (f->source && f->source->state.loop) CFRunLoopWakeUp(f->source->state.loop);
}

void CFFileDescriptorDisableCallBacks(CFFileDescriptorRef f, CFOptionFlags callBackTypes) {
    if (f) f->enabled &= ~callBackTypes;
}

void CFFileDescriptorInvalidate(CFFileDescriptorRef f) {
    if (!f || !f->valid) return;
    CFRetain(f);
    if (f->source) CFRunLoopSourceInvalidate(f->source);
    invalidateDescriptor(f);
    CFRelease(f);
}

Boolean CFFileDescriptorIsValid(CFFileDescriptorRef f) {
    return f && f->valid;
}

CFRunLoopSourceRef CFFileDescriptorCreateRunLoopSource(CFAllocatorRef, CFFileDescriptorRef f,
                                                       CFIndex order) {
    if (!f || !f->valid) return nullptr;
    if (f->source) return static_cast<CFRunLoopSourceRef>(const_cast<void*>(CFRetain(f->source)));
    auto* src = static_cast<__CFRunLoopSource*>(
        CFRuntimeCreateInstance(&kSourceClass, sizeof(__CFRunLoopSource)));
    if (!src) return nullptr;
    new (&src->state) SourceState;
    src->state.descriptor = static_cast<CFFileDescriptorRef>(const_cast<void*>(CFRetain(f)));
    src->state.order = order;
    f->source = src;
    return src;
}
