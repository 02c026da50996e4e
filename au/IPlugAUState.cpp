// The state dictionary of the ClassInfo property (identity, current preset name and the
// parameter blob) and the program and bank files of the unit's own properties.
#include "au/AUDictionary.h"
#include "au/IPlugAU.h"

#include "plugin/Trace.h"

namespace {

constexpr int kPresetNameSize = 64;

ComponentResult describe(ComponentInstance instance, ComponentDescription* description) {
    return GetComponentInfo(reinterpret_cast<Component>(instance), description, nullptr, nullptr,
                            nullptr);
}

} // namespace

ComponentResult IPlugAU::GetState(CFPropertyListRef* state) {
    TRACE_CALL("%s", GetEffectName());
    ComponentDescription description;
    if (const ComponentResult result = describe(mInstance, &description)) return result;

    CFMutableDictionaryRef dict = CFDictionaryCreateMutable(
        nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
    if (!dict) return coreFoundationUnknownErr;
    PutSInt32InDict(dict, "version", GetEffectVersion(false));
    PutSInt32InDict(dict, "type", static_cast<SInt32>(description.componentType));
    PutSInt32InDict(dict, "subtype", static_cast<SInt32>(description.componentSubType));
    PutSInt32InDict(dict, "manufacturer", static_cast<SInt32>(description.componentManufacturer));
    PutStrInDict(dict, "name", GetPresetName(mCurrentPresetIdx));

    ByteChunk chunk(4096);
    if (DoesStateChunks()) {
        if (SerializeState(&chunk)) PutDataInDict(dict, "data", &chunk);
    } else {
        SerializeParams(&chunk);
        PutDataInDict(dict, "data", &chunk);
    }
    *state = dict;
    return noErr;
}

ComponentResult IPlugAU::SetState(CFPropertyListRef state) {
    TRACE_CALL("%s", GetEffectName());
    ComponentDescription description;
    if (const ComponentResult result = describe(mInstance, &description)) return result;
    if (!state || CFGetTypeID(state) != CFDictionaryGetTypeID()) {
        return kAudioUnitErr_InvalidPropertyValue;
    }
    auto dict = static_cast<CFDictionaryRef>(state);

    SInt32 version, type, subtype, manufacturer;
    char name[kPresetNameSize];
    if (!GetSInt32FromDict(dict, "version", &version) || !GetSInt32FromDict(dict, "type", &type) ||
        !GetSInt32FromDict(dict, "subtype", &subtype) ||
        !GetSInt32FromDict(dict, "manufacturer", &manufacturer) ||
        !GetStrFromDict(dict, "name", name, kPresetNameSize)) {
        return kAudioUnitErr_InvalidPropertyValue;
    }
    // A state from another version of this component loads; one from another component not.
    if (static_cast<OSType>(type) != description.componentType ||
        static_cast<OSType>(subtype) != description.componentSubType ||
        static_cast<OSType>(manufacturer) != description.componentManufacturer) {
        return kAudioUnitErr_InvalidPropertyValue;
    }

    RestorePreset(name);

    ByteChunk chunk(4096);
    if (!GetDataFromDict(dict, "data", &chunk)) return kAudioUnitErr_InvalidPropertyValue;
    const int pos = DoesStateChunks() ? UnserializeState(&chunk, 0) : UnserializeParams(&chunk, 0);
    // A blob that ended early still loaded what it held, so the editor must show it; the host
    // is told the state was not whole.
    RedrawParamControls();
    if (pos <= 0) return kAudioUnitErr_InvalidPropertyValue;
    return noErr;
}

ComponentResult IPlugAU::GetPresetFile(bool bank, CFDataRef* file) {
    TRACE_CALL("%s", bank ? "bank" : "program");
    ByteChunk chunk(4096);
    if (!(bank ? SaveBankAsFXBChunk(&chunk) : SaveProgramAsFXPChunk(&chunk))) return memFullErr;
    *file = CFDataCreate(nullptr, chunk.GetBytes(), chunk.Size());
    if (!*file) return coreFoundationUnknownErr;
    return noErr;
}

ComponentResult IPlugAU::SetPresetFile(bool bank, CFDataRef file) {
    TRACE_CALL("%s", bank ? "bank" : "program");
    if (!file || CFGetTypeID(file) != CFDataGetTypeID()) return kAudioUnitErr_InvalidPropertyValue;
    const CFIndex length = CFDataGetLength(file);
    if (length < 0 || length > kMaxPresetFileSize) return kAudioUnitErr_InvalidPropertyValue;
    ByteChunk chunk(4096);
    if (chunk.PutBytes(CFDataGetBytePtr(file), static_cast<int>(length)) < 0) return memFullErr;
    const bool loaded = bank ? LoadBankFromFXBChunk(&chunk) : LoadProgramFromFXPChunk(&chunk);
    if (!loaded) return kAudioUnitErr_InvalidPropertyValue;
    return noErr;
}
