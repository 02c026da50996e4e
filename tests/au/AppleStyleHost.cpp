// A host written the way the platform's documentation describes hosting a component: open the
// module, find its entry, register it, open an instance, read its state, close it. It uses
// nothing but the platform's published calls. Usage: AppleStyleHost <bundle folder>
#include <AudioUnit/AudioUnit.h>
#include <CoreFoundation/CoreFoundation.h>
#include <CoreServices/CoreServices.h>

#include <dlfcn.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s BUNDLE\n", argv[0]);
        return 2;
    }
    const std::string module = std::string(argv[1]) + "/Contents/Linux/Grindvox.so";
    void* handle = dlopen(module.c_str(), RTLD_NOW);
    if (!handle) {
        std::fprintf(stderr, "dlopen: %s\n", dlerror());
        return 1;
    }
    auto entry = reinterpret_cast<ComponentRoutineUPP>(dlsym(handle, "Grindvox_Entry"));
    if (!entry) return 1;

    ComponentDescription description = {kAudioUnitType_Effect, 'gRvx', 'GrVo', 0, 0};
    Component component = RegisterComponent(&description, entry, 0, nullptr, nullptr, nullptr);
    ComponentInstance unit = nullptr;
    if (!component || OpenAComponent(component, &unit) != noErr) return 1;

    CFPropertyListRef state = nullptr;
    UInt32 size = sizeof state;
    const OSStatus result = AudioUnitGetProperty(unit, kAudioUnitProperty_ClassInfo,
                                                 kAudioUnitScope_Global, 0, &state, &size);
    if (result != noErr || !state || CFGetTypeID(state) != CFDictionaryGetTypeID()) return 1;
    std::printf("ClassInfo holds %ld entries\n",
                static_cast<long>(CFDictionaryGetCount(static_cast<CFDictionaryRef>(state))));
    CFRelease(state);
    return CloseComponent(unit) == noErr ? 0 : 1;
}
