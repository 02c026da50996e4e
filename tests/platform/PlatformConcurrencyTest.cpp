#include "tests/platform/TestComponent.h"

#include <AudioToolbox/AudioToolbox.h>
#include <CoreFoundation/CFBundleRegistry.h>
#include <CoreFoundation/CoreFoundation.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace test_component;

TEST(PlatformConcurrency, TwoThreadsOpenCallAndCloseInstances) {
    Component c = Register('thrd');
    ASSERT_NE(c, nullptr);
    int before = gLiveStorages;
    std::atomic<int> failures{0};
    auto work = [&] {
        for (int i = 0; i < 1000; ++i) {
            ComponentInstance ci = nullptr;
            if (OpenAComponent(c, &ci) != noErr) {
                ++failures;
                continue;
            }
            auto* storage = reinterpret_cast<Storage*>(GetComponentInstanceStorage(ci));
            if (!storage || storage->self != ci) ++failures;
            AudioUnitParameterValue value = 0;
            if (AudioUnitGetParameter(ci, 8, 0, 0, &value) != noErr || value != 4.0f) ++failures;
            if (CloseComponent(ci) != noErr) ++failures;
        }
    };
    std::thread a(work);
    std::thread b(work);
    a.join();
    b.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(gLiveStorages, before);
    EXPECT_EQ(CountComponentInstances(c), 0);
}

TEST(PlatformConcurrency, RetainCountsStayExactUnderTwoThreads) {
    CFStringRef shared = CFStringCreateWithCString(nullptr, "shared", kCFStringEncodingUTF8);
    CFMutableArrayRef array = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
    CFArrayAppendValue(array, shared);
    auto work = [&] {
        for (int i = 0; i < 20000; ++i) {
            CFRetain(shared);
            CFRetain(array);
            CFRelease(shared);
            CFRelease(array);
        }
        // Each thread also makes and drops its own objects holding the shared one.
        for (int i = 0; i < 500; ++i) {
            CFMutableDictionaryRef dict = CFDictionaryCreateMutable(
                nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
            CFDictionarySetValue(dict, CFSTR("name"), shared);
            CFRelease(dict);
        }
    };
    std::thread a(work);
    std::thread b(work);
    a.join();
    b.join();
    EXPECT_EQ(CFGetRetainCount(shared), 2);
    EXPECT_EQ(CFGetRetainCount(array), 1);
    CFRelease(array);
    EXPECT_EQ(CFGetRetainCount(shared), 1);
    CFRelease(shared);
}

TEST(PlatformConcurrency, ConstantStringsAndBundlesAreSharedAcrossThreads) {
    CFStringRef seen[2] = {};
    CFBundleRef bundles[2] = {};
    auto work = [&](int i) {
        seen[i] = CFSTR("made on two threads at once");
        bundles[i] = GrindvoxPlatform_RegisterBundle("com.tolva.race", "/tmp");
    };
    std::thread a(work, 0);
    std::thread b(work, 1);
    a.join();
    b.join();
    EXPECT_EQ(seen[0], seen[1]);
    ASSERT_NE(bundles[0], nullptr);
    EXPECT_EQ(bundles[0], bundles[1]);
    EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.tolva.race")), bundles[0]);
}

namespace {

void CountEvent(void* refCon, void*, const AudioUnitEvent*, UInt64, AudioUnitParameterValue) {
    ++*static_cast<std::atomic<int>*>(refCon);
}

} // namespace

TEST(PlatformConcurrency, ListenersComeAndGoWhileAnotherThreadPosts) {
    ComponentInstance unit = OpenComponent(Register('lstn'));
    ASSERT_NE(unit, nullptr);
    AudioUnitEvent event = {};
    event.mEventType = kAudioUnitEvent_ParameterValueChange;
    event.mArgument.mParameter = {unit, 1, kAudioUnitScope_Global, 0};
    std::atomic<int> heard{0};
    std::atomic<bool> stop{false};
    std::thread poster([&] {
        while (!stop)
            AUEventListenerNotify(nullptr, nullptr, &event);
    });
    for (int i = 0; i < 300; ++i) {
        AUEventListenerRef listener = nullptr;
        ASSERT_EQ(AUEventListenerCreate(CountEvent, &heard, nullptr, nullptr, 0, 0, &listener),
                  noErr);
        AUEventListenerAddEventType(listener, nullptr, &event);
        AUEventListenerNotify(nullptr, nullptr, &event);
        AUListenerDispose(listener);
    }
    stop = true;
    poster.join();
    EXPECT_GE(heard, 300); // every listener heard at least its own thread's post
    CloseComponent(unit);
}
