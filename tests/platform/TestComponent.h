#pragma once

#include <AudioUnit/AudioUnit.h>
#include <CoreServices/CoreServices.h>

#include <atomic>
#include <cstring>

// A tiny component for driving the Component Manager as a host does. Open makes a Storage and
// registers it; every later call records the parameter block it received and the storage it
// was handed; Close frees the Storage. It answers:
//   version: 0x00010203
//   CanDo: 1 for kAudioUnitGetPropertySelect and kAudioUnitGetParameterSelect, else 0
//   GetParameter: writes parameter ID / 2 to the value pointer, noErr
//   GetProperty: writes 0xC0FFEE to the data pointer, answers -1234
//   any other selector: badComponentSelector (after recording it)
namespace test_component {

struct Storage {
    ComponentInstance self;
    std::atomic<int> calls;
};

struct Record {
    SInt16 what = 0;
    UInt8 paramSize = 0;
    long params[9] = {};
    Handle storage = nullptr;
};

inline thread_local Record gLast;          // last call made on this thread
inline std::atomic<int> gLiveStorages{0};  // Storage objects alive
inline std::atomic<bool> gFailOpen{false}; // Open answers an error
inline std::atomic<int> gCloses{0};        // Close calls received
inline std::atomic<bool> gCloseSawSameSlots{true};

inline ComponentResult Entry(ComponentParameters* params, Handle storage) {
    switch (params->what) {
    case kComponentOpenSelect: {
        auto* self = reinterpret_cast<ComponentInstance>(params->params[1]);
        auto* data = new Storage{self, 0};
        ++gLiveStorages;
        SetComponentInstanceStorage(self, reinterpret_cast<Handle>(data));
        return gFailOpen ? -42 : noErr;
    }
    case kComponentCloseSelect:
        ++gCloses;
        if (params->params[0] != params->params[1]) gCloseSawSameSlots = false;
        if (storage) {
            delete reinterpret_cast<Storage*>(storage);
            --gLiveStorages;
        }
        return noErr;
    default: break;
    }
    gLast.what = params->what;
    gLast.paramSize = params->paramSize;
    int slots = 1 + params->paramSize / static_cast<int>(sizeof(long));
    for (int i = 0; i < 9; ++i)
        gLast.params[i] = i < slots ? params->params[i] : 0;
    gLast.storage = storage;
    if (storage) ++reinterpret_cast<Storage*>(storage)->calls;
    switch (params->what) {
    case kComponentVersionSelect: return 0x00010203;
    case kComponentCanDoSelect: {
        long asked = params->params[0];
        return asked == kAudioUnitGetPropertySelect || asked == kAudioUnitGetParameterSelect;
    }
    case kAudioUnitGetParameterSelect: {
        auto id = static_cast<AudioUnitParameterID>(params->params[1]);
        auto* out = reinterpret_cast<AudioUnitParameterValue*>(params->params[4]);
        if (out) *out = static_cast<AudioUnitParameterValue>(id) / 2;
        return noErr;
    }
    case kAudioUnitGetPropertySelect: {
        auto* out = reinterpret_cast<UInt32*>(params->params[4]);
        if (out) *out = 0xC0FFEE;
        return -1234;
    }
    default: return badComponentSelector;
    }
}

// Registers the component once per subtype and returns it.
inline Component Register(OSType subtype) {
    ComponentDescription description = {kAudioUnitType_Effect, subtype, 'TeSt', 0, 0};
    ComponentDescription looking = description;
    if (Component found = FindNextComponent(nullptr, &looking)) return found;
    return RegisterComponent(&description, Entry, 0, nullptr, nullptr, nullptr);
}

// A slot read back the way a component reads its arguments.
template <typename T>
T Slot(const Record& record, int i) {
    T value;
    memcpy(&value, &record.params[i], sizeof value);
    return value;
}

} // namespace test_component
