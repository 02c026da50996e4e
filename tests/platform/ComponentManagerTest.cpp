#include "tests/platform/TestComponent.h"

#include <CoreServices/CoreServices.h>
#include <gtest/gtest.h>

#include <cstring>

using namespace test_component;

TEST(ComponentManager, FindsRegisteredComponentsByDescriptionWithWildcards) {
    Component first = Register('fnd1');
    Component second = Register('fnd2');
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);

    ComponentDescription exact = {kAudioUnitType_Effect, 'fnd2', 'TeSt', 0, 0};
    EXPECT_EQ(FindNextComponent(nullptr, &exact), second);
    EXPECT_EQ(CountComponents(&exact), 1);

    // Zero subtype matches both; iteration goes on from the component given.
    ComponentDescription anySubtype = {kAudioUnitType_Effect, 0, 'TeSt', 0, 0};
    long count = CountComponents(&anySubtype);
    EXPECT_GE(count, 2);
    long seen = 0;
    bool sawFirst = false;
    bool sawSecond = false;
    for (Component c = FindNextComponent(nullptr, &anySubtype); c;
         c = FindNextComponent(c, &anySubtype)) {
        ++seen;
        sawFirst |= c == first;
        sawSecond |= c == second;
    }
    EXPECT_EQ(seen, count);
    EXPECT_TRUE(sawFirst && sawSecond);

    ComponentDescription otherMaker = {kAudioUnitType_Effect, 'fnd2', 'NoNe', 0, 0};
    EXPECT_EQ(FindNextComponent(nullptr, &otherMaker), nullptr);
    EXPECT_EQ(CountComponents(&otherMaker), 0);
}

TEST(ComponentManager, MatchesFlagsOnlyUnderTheMask) {
    ComponentDescription description = {'flag', 'flg1', 'TeSt', 0x5, 0};
    Component c = RegisterComponent(&description, Entry, 0, nullptr, nullptr, nullptr);
    ASSERT_NE(c, nullptr);
    ComponentDescription bit0 = {'flag', 'flg1', 'TeSt', 0x1, 0x1};
    ComponentDescription bit1 = {'flag', 'flg1', 'TeSt', 0x2, 0x2};
    ComponentDescription unmasked = {'flag', 'flg1', 'TeSt', 0x2, 0x0};
    EXPECT_EQ(FindNextComponent(nullptr, &bit0), c);
    EXPECT_EQ(FindNextComponent(nullptr, &bit1), nullptr);
    EXPECT_EQ(FindNextComponent(nullptr, &unmasked), c);
}

TEST(ComponentManager, RefusesDuplicatesWhenAskedAndNullArguments) {
    ComponentDescription description = {'dupl', 'dup1', 'TeSt', 0, 0};
    ASSERT_NE(RegisterComponent(&description, Entry, 0, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(RegisterComponent(&description, Entry, registerComponentNoDuplicates, nullptr,
                                nullptr, nullptr),
              nullptr);
    EXPECT_EQ(RegisterComponent(nullptr, Entry, 0, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(RegisterComponent(&description, nullptr, 0, nullptr, nullptr, nullptr), nullptr);
}

TEST(ComponentManager, ComponentInfoAnswersForComponentAndInstanceWithPascalName) {
    ComponentDescription description = {kAudioUnitType_Effect, 'info', 'TeSt', 7, 0};
    Handle name = NewHandle(9);
    ASSERT_NE(name, nullptr);
    memcpy(*name, "\x08Tolva: X", 9);
    Component c = RegisterComponent(&description, Entry, 0, name, nullptr, nullptr);
    DisposeHandle(name); // the registry keeps its own copy
    ASSERT_NE(c, nullptr);

    ComponentDescription got = {};
    Handle gotName = NewHandle(0);
    ASSERT_EQ(GetComponentInfo(c, &got, gotName, nullptr, nullptr), noErr);
    EXPECT_EQ(got.componentSubType, static_cast<OSType>('info'));
    EXPECT_EQ(got.componentFlags, 7u);
    ASSERT_EQ(GetHandleSize(gotName), 9);
    EXPECT_EQ(memcmp(*gotName, "\x08Tolva: X", 9), 0);
    DisposeHandle(gotName);

    ComponentInstance ci = nullptr;
    ASSERT_EQ(OpenAComponent(c, &ci), noErr);
    ComponentDescription viaInstance = {};
    EXPECT_EQ(
        GetComponentInfo(reinterpret_cast<Component>(ci), &viaInstance, nullptr, nullptr, nullptr),
        noErr);
    EXPECT_EQ(viaInstance.componentSubType, static_cast<OSType>('info'));
    EXPECT_EQ(CloseComponent(ci), noErr);
    // A closed instance is no longer an answer.
    EXPECT_EQ(
        GetComponentInfo(reinterpret_cast<Component>(ci), &viaInstance, nullptr, nullptr, nullptr),
        invalidComponentID);
}

TEST(ComponentManager, OpenRegistersStorageThatEveryCallReceivesAndCloseFreesIt) {
    Component c = Register('stor');
    int before = gLiveStorages;
    int closesBefore = gCloses;
    ComponentInstance a = nullptr;
    ComponentInstance b = nullptr;
    ASSERT_EQ(OpenAComponent(c, &a), noErr);
    ASSERT_EQ(OpenAComponent(c, &b), noErr);
    ASSERT_NE(a, b);
    EXPECT_EQ(gLiveStorages, before + 2);
    EXPECT_EQ(CountComponentInstances(c), 2);

    auto* storageA = reinterpret_cast<Storage*>(GetComponentInstanceStorage(a));
    auto* storageB = reinterpret_cast<Storage*>(GetComponentInstanceStorage(b));
    ASSERT_NE(storageA, nullptr);
    EXPECT_EQ(storageA->self, a);
    EXPECT_EQ(storageB->self, b);

    EXPECT_EQ(CallComponentVersion(b), 0x00010203);
    EXPECT_EQ(gLast.storage, reinterpret_cast<Handle>(storageB));
    EXPECT_EQ(gLast.params[0], reinterpret_cast<long>(b));
    EXPECT_EQ(storageB->calls, 1);
    EXPECT_EQ(storageA->calls, 0);

    EXPECT_EQ(UnregisterComponent(c), validInstancesExist);
    EXPECT_EQ(CloseComponent(a), noErr);
    EXPECT_EQ(CloseComponent(b), noErr);
    EXPECT_EQ(gLiveStorages, before);
    EXPECT_EQ(gCloses, closesBefore + 2);
    EXPECT_TRUE(gCloseSawSameSlots);
    EXPECT_EQ(CountComponentInstances(c), 0);

    // Calls on a closed instance are refused without reaching the component.
    EXPECT_NE(CloseComponent(a), noErr);
    EXPECT_EQ(CallComponentVersion(a), badComponentInstance);
    EXPECT_EQ(GetComponentInstanceStorage(a), nullptr);
    EXPECT_EQ(CloseComponent(nullptr), static_cast<OSErr>(badComponentInstance));
}

TEST(ComponentManager, FailedOpenClosesTheInstanceAndReturnsTheStatus) {
    Component c = Register('fail');
    int before = gLiveStorages;
    gFailOpen = true;
    ComponentInstance ci = reinterpret_cast<ComponentInstance>(1);
    EXPECT_EQ(OpenAComponent(c, &ci), -42);
    gFailOpen = false;
    EXPECT_EQ(ci, nullptr);
    EXPECT_EQ(gLiveStorages, before); // Close ran and freed what Open made
    EXPECT_EQ(CountComponentInstances(c), 0);
    EXPECT_EQ(OpenComponent(nullptr), nullptr);
}

TEST(ComponentManager, CanDoCarriesTheAskedSelectorInSlotZero) {
    ComponentInstance ci = OpenComponent(Register('cndo'));
    ASSERT_NE(ci, nullptr);
    EXPECT_EQ(CallComponentCanDo(ci, kAudioUnitGetPropertySelect), 1);
    EXPECT_EQ(gLast.what, kComponentCanDoSelect);
    EXPECT_EQ(gLast.params[0], kAudioUnitGetPropertySelect);
    EXPECT_EQ(CallComponentCanDo(ci, kAudioUnitRenderSelect), 0);
    // A negative selector is sign-extended: read as unsigned it is far above any real one.
    EXPECT_EQ(CallComponentCanDo(ci, kComponentCloseSelect), 0);
    EXPECT_EQ(static_cast<unsigned long>(gLast.params[0]), ~0ul - 1);
    EXPECT_EQ(CloseComponent(ci), noErr);
}

TEST(ComponentManager, SelectorRoundTripThroughThePackedBlock) {
    ComponentInstance ci = OpenComponent(Register('rndt'));
    ASSERT_NE(ci, nullptr);
    UInt32 data = 0;
    UInt32 size = 4;
    // The component writes through the data pointer it found in slot 4 and answers -1234.
    EXPECT_EQ(AudioUnitGetProperty(ci, kAudioUnitProperty_BypassEffect, kAudioUnitScope_Output, 3,
                                   &data, &size),
              -1234);
    EXPECT_EQ(data, 0xC0FFEEu);
    EXPECT_EQ(gLast.what, kAudioUnitGetPropertySelect);
    EXPECT_EQ(gLast.paramSize, 5 * sizeof(long));
    EXPECT_EQ(gLast.params[0], reinterpret_cast<long>(ci));
    EXPECT_EQ(gLast.params[1], 21);
    EXPECT_EQ(gLast.params[2], 2);
    EXPECT_EQ(gLast.params[3], 3);
    EXPECT_EQ(gLast.params[4], reinterpret_cast<long>(&data));
    EXPECT_EQ(gLast.params[5], reinterpret_cast<long>(&size));
    EXPECT_EQ(CloseComponent(ci), noErr);
}

TEST(MacMemory, HandlesResizeKeepingTheirBytes) {
    Handle h = NewHandleClear(3);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GetHandleSize(h), 3);
    EXPECT_EQ((*h)[0] | (*h)[1] | (*h)[2], 0);
    memcpy(*h, "abc", 3);
    SetHandleSize(h, 1000);
    EXPECT_EQ(MemError(), noErr);
    EXPECT_EQ(GetHandleSize(h), 1000);
    EXPECT_EQ(memcmp(*h, "abc", 3), 0);
    SetHandleSize(h, -1);
    EXPECT_EQ(MemError(), paramErr);
    EXPECT_EQ(GetHandleSize(h), 1000);
    DisposeHandle(h);
    EXPECT_EQ(NewHandle(-5), nullptr);
}

TEST(Gestalt, ReportsTenSixEightAboveTheCocoaViewThreshold) {
    SInt32 version = 0;
    ASSERT_EQ(Gestalt(gestaltSystemVersion, &version), noErr);
    EXPECT_EQ(version, 0x1068);
    EXPECT_GT(version, 0x104F);
    SInt32 minor = 0;
    EXPECT_EQ(Gestalt(gestaltSystemVersionMinor, &minor), noErr);
    EXPECT_EQ(minor, 6);
    EXPECT_EQ(Gestalt('none', &minor), gestaltUndefSelectorErr);
    EXPECT_EQ(Gestalt(gestaltSystemVersion, nullptr), paramErr);
}
