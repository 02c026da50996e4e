#include "host/grindvox/StateFile.h"

#include "host/CFObject.h"
#include "host/grindvox/PendingFile.h"
#include "host/grindvox/Text.h"

#include <AudioUnit/AudioUnit.h>

#include <fstream>
#include <iterator>

namespace {

const void* lookUp(CFDictionaryRef dict, const char* key) {
    CFObject keyString(CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8));
    return keyString.Get() ? CFDictionaryGetValue(dict, keyString.Get()) : nullptr;
}

bool readCode(CFDictionaryRef dict, const char* key, SInt32* code) {
    auto number = static_cast<CFNumberRef>(lookUp(dict, key));
    if (!number || CFGetTypeID(number) != CFNumberGetTypeID()) return false;
    return CFNumberGetValue(number, kCFNumberSInt32Type, code);
}

} // namespace

Failure SaveStateFile(const std::string& path, CFPropertyListRef state) {
    CFErrorRef error = nullptr;
    CFObject data(
        CFPropertyListCreateData(nullptr, state, kCFPropertyListXMLFormat_v1_0, 0, &error));
    CFObject errorOwner(error);
    if (!data.Is(CFDataGetTypeID()))
        return RunError("cannot write \"" + path + "\": the unit's state is not a property list");
    PendingFile file;
    std::string reason;
    if (!file.Create(path, &reason) ||
        !file.Write(CFDataGetBytePtr(data.As<CFDataRef>()),
                    static_cast<size_t>(CFDataGetLength(data.As<CFDataRef>())), &reason) ||
        !file.Commit(&reason))
        return RunError(reason);
    return {};
}

Failure LoadStateFile(const std::string& path, const ComponentDescription& expected,
                      CFPropertyListRef* state) {
    *state = nullptr;
    std::ifstream in(path, std::ios::binary);
    if (!in) return RunError("cannot read \"" + path + "\": no such file or no permission");
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return RunError("cannot read \"" + path + "\": a read error");
    CFObject data(CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(bytes.data()),
                               static_cast<CFIndex>(bytes.size())));
    CFErrorRef error = nullptr;
    CFObject plist(CFPropertyListCreateWithData(nullptr, data.As<CFDataRef>(),
                                                kCFPropertyListImmutable, nullptr, &error));
    CFObject errorOwner(error);
    if (!plist.Get()) return RunError("cannot read \"" + path + "\": it is not a property list");
    if (!plist.Is(CFDictionaryGetTypeID()))
        return RunError("cannot read \"" + path + "\": it holds no dictionary of unit state");
    auto dict = plist.As<CFDictionaryRef>();

    const char* numberKeys[] = {kAUPresetVersionKey, kAUPresetTypeKey, kAUPresetSubtypeKey,
                                kAUPresetManufacturerKey};
    SInt32 codes[4] = {};
    for (int i = 0; i < 4; ++i) {
        if (!readCode(dict, numberKeys[i], &codes[i]))
            return RunError("\"" + path + "\" is not a unit state: its \"" + numberKeys[i] +
                            "\" entry is missing or not a 32-bit number");
    }
    auto name = static_cast<CFTypeRef>(lookUp(dict, kAUPresetNameKey));
    if (!name || CFGetTypeID(name) != CFStringGetTypeID())
        return RunError("\"" + path +
                        "\" is not a unit state: its \"name\" entry is missing or "
                        "not a string");
    auto blob = static_cast<CFTypeRef>(lookUp(dict, kAUPresetDataKey));
    if (!blob || CFGetTypeID(blob) != CFDataGetTypeID())
        return RunError("\"" + path +
                        "\" is not a unit state: its \"data\" entry is missing or "
                        "not data");
    if (static_cast<OSType>(codes[1]) != expected.componentType ||
        static_cast<OSType>(codes[2]) != expected.componentSubType ||
        static_cast<OSType>(codes[3]) != expected.componentManufacturer)
        return RunError("\"" + path + "\" holds the state of another component (" +
                        FourCharCodeText(static_cast<uint32_t>(codes[1])) + " " +
                        FourCharCodeText(static_cast<uint32_t>(codes[2])) + " " +
                        FourCharCodeText(static_cast<uint32_t>(codes[3])) + "), not of this one (" +
                        FourCharCodeText(expected.componentType) + " " +
                        FourCharCodeText(expected.componentSubType) + " " +
                        FourCharCodeText(expected.componentManufacturer) + ")");
    *state = CFRetain(plist.Get());
    return {};
}
