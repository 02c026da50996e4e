#include <AudioToolbox/AudioUnitUtilities.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <new>

// Event listeners. The registry (every listener and its registrations) is under one lock, but
// listeners are called without it: a notification first collects the matching registrations,
// holding a reference on each listener, then calls them. So a listener may add or remove
// registrations, or post events, from inside its callback, and a host lock taken in a callback
// cannot deadlock against a host thread that is registering. A disposed listener is freed when
// the last notification still holding it is done.
struct AUListenerRegistration {
    void* object;
    AudioUnitEvent event;
};

struct AUListenerBase {
    std::atomic<long> references;
    std::atomic<bool> disposed;
    AUEventListenerProc proc;
    void* userData;
    AUListenerRegistration* registrations; // under gListenerMutex
    size_t count;
    size_t allocated;
    AUListenerBase* next;
};

namespace {

std::mutex gListenerMutex;
AUListenerBase* gListeners = nullptr;

bool isParameterEvent(AudioUnitEventType type) {
    return type == kAudioUnitEvent_ParameterValueChange ||
           type == kAudioUnitEvent_BeginParameterChangeGesture ||
           type == kAudioUnitEvent_EndParameterChangeGesture;
}

bool sameRegistration(const AudioUnitEvent& a, const AudioUnitEvent& b) {
    if (a.mEventType != b.mEventType) return false;
    if (isParameterEvent(a.mEventType)) {
        const AudioUnitParameter& x = a.mArgument.mParameter;
        const AudioUnitParameter& y = b.mArgument.mParameter;
        return x.mAudioUnit == y.mAudioUnit && x.mParameterID == y.mParameterID &&
               x.mScope == y.mScope && x.mElement == y.mElement;
    }
    const AudioUnitProperty& x = a.mArgument.mProperty;
    const AudioUnitProperty& y = b.mArgument.mProperty;
    return x.mAudioUnit == y.mAudioUnit && x.mPropertyID == y.mPropertyID && x.mScope == y.mScope &&
           x.mElement == y.mElement;
}

// Whether a registration wants a posted event.
bool wants(const AudioUnitEvent& registered, const AudioUnitEvent& posted) {
    if (registered.mEventType != posted.mEventType) return false;
    if (isParameterEvent(posted.mEventType)) {
        const AudioUnitParameter& r = registered.mArgument.mParameter;
        const AudioUnitParameter& p = posted.mArgument.mParameter;
        return r.mAudioUnit == p.mAudioUnit &&
               (r.mParameterID == kAUParameterListener_AnyParameter ||
                r.mParameterID == p.mParameterID) &&
               r.mScope == p.mScope && r.mElement == p.mElement;
    }
    if (posted.mEventType != kAudioUnitEvent_PropertyChange) return false;
    const AudioUnitProperty& r = registered.mArgument.mProperty;
    const AudioUnitProperty& p = posted.mArgument.mProperty;
    return r.mAudioUnit == p.mAudioUnit && r.mPropertyID == p.mPropertyID && r.mScope == p.mScope &&
           r.mElement == p.mElement;
}

void releaseListener(AUListenerBase* listener) {
    if (listener->references.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
    free(listener->registrations);
    listener->~AUListenerBase();
    free(listener);
}

bool isRegisteredLocked(AUListenerBase* listener) {
    for (AUListenerBase* l = gListeners; l; l = l->next) {
        if (l == listener) return true;
    }
    return false;
}

// The index of the listener's registration for the object and event, or its count when there
// is none.
size_t findRegistrationLocked(const AUListenerBase* listener, void* object,
                              const AudioUnitEvent& event) {
    for (size_t i = 0; i < listener->count; ++i) {
        const AUListenerRegistration& r = listener->registrations[i];
        if (r.object == object && sameRegistration(r.event, event)) return i;
    }
    return listener->count;
}

UInt64 hostTimeNow() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<UInt64>(now.tv_sec) * 1000000000ull + static_cast<UInt64>(now.tv_nsec);
}

struct Delivery {
    AUListenerBase* listener;
    void* object;
};

// The deliveries of one notification: a few inline, more on the heap.
class DeliveryList {
public:
    ~DeliveryList() {
        if (mItems != mInline) free(mItems);
    }

    bool add(AUListenerBase* listener, void* object) {
        if (mCount == mCapacity && !grow()) return false;
        mItems[mCount++] = {listener, object};
        return true;
    }

    size_t count() const { return mCount; }
    const Delivery& operator[](size_t i) const { return mItems[i]; }

private:
    bool grow() {
        size_t wanted = mCapacity * 2;
        auto* grown = static_cast<Delivery*>(malloc(wanted * sizeof(Delivery)));
        if (!grown) return false;
        memcpy(grown, mItems, mCount * sizeof(Delivery));
        if (mItems != mInline) free(mItems);
        mItems = grown;
        mCapacity = wanted;
        return true;
    }

    static constexpr size_t kInline = 16;
    Delivery mInline[kInline];
    Delivery* mItems = mInline;
    size_t mCount = 0;
    size_t mCapacity = kInline;
};

} // namespace

OSStatus AUEventListenerCreate(AUEventListenerProc inProc, void* inUserData, CFRunLoopRef,
                               CFStringRef, Float32, Float32, AUEventListenerRef* outListener) {
    if (!inProc || !outListener) return paramErr;
    *outListener = nullptr;
    auto* listener = static_cast<AUListenerBase*>(calloc(1, sizeof(AUListenerBase)));
    if (!listener) return memFullErr;
    new (listener) AUListenerBase();
    listener->references.store(1, std::memory_order_relaxed); // the registry's
    listener->proc = inProc;
    listener->userData = inUserData;
    std::lock_guard<std::mutex> lock(gListenerMutex);
    listener->next = gListeners;
    gListeners = listener;
    *outListener = listener;
    return noErr;
}

OSStatus AUEventListenerAddEventType(AUEventListenerRef inListener, void* inObject,
                                     const AudioUnitEvent* inEvent) {
    if (!inListener || !inEvent) return paramErr;
    std::lock_guard<std::mutex> lock(gListenerMutex);
    if (!isRegisteredLocked(inListener)) return paramErr;
    if (findRegistrationLocked(inListener, inObject, *inEvent) < inListener->count) return noErr;
    if (inListener->count == inListener->allocated) {
        size_t wanted = inListener->allocated ? inListener->allocated * 2 : 4;
        auto* grown = static_cast<AUListenerRegistration*>(
            realloc(inListener->registrations, wanted * sizeof(AUListenerRegistration)));
        if (!grown) return memFullErr;
        inListener->registrations = grown;
        inListener->allocated = wanted;
    }
    inListener->registrations[inListener->count++] = {inObject, *inEvent};
    return noErr;
}

OSStatus AUEventListenerRemoveEventType(AUEventListenerRef inListener, void* inObject,
                                        const AudioUnitEvent* inEvent) {
    if (!inListener || !inEvent) return paramErr;
    std::lock_guard<std::mutex> lock(gListenerMutex);
    if (!isRegisteredLocked(inListener)) return paramErr;
    const size_t i = findRegistrationLocked(inListener, inObject, *inEvent);
    if (i == inListener->count) return noErr;
    memmove(inListener->registrations + i, inListener->registrations + i + 1,
            (inListener->count - i - 1) * sizeof(AUListenerRegistration));
    --inListener->count;
    return noErr;
}

OSStatus AUEventListenerNotify(AUEventListenerRef inSendingListener, void*,
                               const AudioUnitEvent* inEvent) {
    if (!inEvent) return paramErr;
    AudioUnitEvent event = *inEvent;
    // Listeners get the value the unit reports now, as they would read it themselves.
    AudioUnitParameterValue value = 0;
    if (isParameterEvent(event.mEventType)) {
        const AudioUnitParameter& p = event.mArgument.mParameter;
        if (AudioUnitGetParameter(p.mAudioUnit, p.mParameterID, p.mScope, p.mElement, &value) !=
            noErr)
            value = 0;
    }
    DeliveryList deliveries;
    bool complete = true;
    {
        std::lock_guard<std::mutex> lock(gListenerMutex);
        for (AUListenerBase* listener = gListeners; listener && complete;
             listener = listener->next) {
            if (listener == inSendingListener) continue;
            for (size_t i = 0; i < listener->count && complete; ++i) {
                const AUListenerRegistration& r = listener->registrations[i];
                if (!wants(r.event, event)) continue;
                complete = deliveries.add(listener, r.object);
                if (complete) listener->references.fetch_add(1, std::memory_order_relaxed);
            }
        }
    }
    UInt64 hostTime = hostTimeNow();
    for (size_t i = 0; i < deliveries.count(); ++i) {
        AUListenerBase* listener = deliveries[i].listener;
        if (!listener->disposed.load(std::memory_order_acquire))
            listener->proc(listener->userData, deliveries[i].object, &event, hostTime, value);
        releaseListener(listener);
    }
    return complete ? OSStatus(noErr) : OSStatus(memFullErr);
}

OSStatus AUListenerDispose(AUParameterListenerRef inListener) {
    if (!inListener) return paramErr;
    {
        std::lock_guard<std::mutex> lock(gListenerMutex);
        AUListenerBase** link = &gListeners;
        while (*link && *link != inListener)
            link = &(*link)->next;
        if (!*link) return paramErr;
        *link = inListener->next;
        inListener->disposed.store(true, std::memory_order_release);
    }
    releaseListener(inListener);
    return noErr;
}
