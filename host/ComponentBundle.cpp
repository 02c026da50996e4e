#include "host/ComponentBundle.h"

#include "host/CFObject.h"

#include <AudioUnit/AudioUnit.h>
#include <CoreFoundation/CFBundleRegistry.h>
#include <CoreFoundation/CoreFoundation.h>

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

// The value under key when it has the type, else null.
CFTypeRef value(CFDictionaryRef dict, const char* key, CFTypeID type) {
    CFObject keyString(CreateCFString(key));
    CFTypeRef found = CFDictionaryGetValue(dict, keyString.As<CFStringRef>());
    return found && CFGetTypeID(found) == type ? found : nullptr;
}

std::string stringValue(CFDictionaryRef dict, const char* key) {
    return Utf8(value(dict, key, CFStringGetTypeID()));
}

// "aufx" as the four-character code 'aufx'; false unless the text has four characters.
bool fourCharCode(const std::string& text, OSType* code) {
    if (text.size() != 4) return false;
    *code = 0;
    for (unsigned char c : text)
        *code = (*code << 8) | c;
    return true;
}

CFDictionaryRef readPlist(const std::string& file, std::string* error) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        *error = "cannot read " + file;
        return nullptr;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    CFObject data(CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(bytes.data()),
                               static_cast<CFIndex>(bytes.size())));
    CFPropertyListRef plist = CFPropertyListCreateWithData(
        nullptr, data.As<CFDataRef>(), kCFPropertyListImmutable, nullptr, nullptr);
    if (!plist || CFGetTypeID(plist) != CFDictionaryGetTypeID()) {
        if (plist) CFRelease(plist);
        *error = file + " is not a property-list dictionary";
        return nullptr;
    }
    return static_cast<CFDictionaryRef>(plist);
}

} // namespace

namespace {

// A component an Info.plist declares, with its entries found in the module.
struct Declared {
    ComponentBundle::Entry entry;
    ComponentRoutineUPP routine = nullptr;
    ComponentRoutineUPP viewRoutine = nullptr; // null when it declares no view
};

bool readDeclared(CFDictionaryRef declared, void* module, const std::string& modulePath,
                  Declared* out, std::string* error) {
    ComponentDescription& description = out->entry.description;
    description = {};
    if (!fourCharCode(stringValue(declared, "type"), &description.componentType) ||
        !fourCharCode(stringValue(declared, "subtype"), &description.componentSubType) ||
        !fourCharCode(stringValue(declared, "manufacturer"), &description.componentManufacturer)) {
        *error = modulePath + ": a component's type, subtype or manufacturer is not a "
                              "four-character code";
        return false;
    }
    const std::string entryName = stringValue(declared, "entry");
    out->routine = reinterpret_cast<ComponentRoutineUPP>(dlsym(module, entryName.c_str()));
    if (!out->routine) {
        *error = modulePath + " does not export " + entryName;
        return false;
    }
    const std::string viewName = stringValue(declared, "viewEntry");
    if (!viewName.empty()) {
        out->viewRoutine = reinterpret_cast<ComponentRoutineUPP>(dlsym(module, viewName.c_str()));
    }
    out->entry.name = stringValue(declared, "name");
    if (auto version = static_cast<CFNumberRef>(value(declared, "version", CFNumberGetTypeID()))) {
        SInt32 v = 0;
        CFNumberGetValue(version, kCFNumberSInt32Type, &v);
        out->entry.version = static_cast<UInt32>(v);
    }
    return true;
}

// Registers the component and its view; false (with neither registered) when refused.
bool registerDeclared(Declared* declared, std::string* error) {
    ComponentBundle::Entry& entry = declared->entry;
    entry.component =
        RegisterComponent(&entry.description, declared->routine, 0, nullptr, nullptr, nullptr);
    if (!entry.component) {
        *error = "the Component Manager refused " + entry.name;
        return false;
    }
    if (declared->viewRoutine) {
        ComponentDescription view = entry.description;
        view.componentType = kAudioUnitCarbonViewComponentType;
        entry.viewComponent =
            RegisterComponent(&view, declared->viewRoutine, 0, nullptr, nullptr, nullptr);
    }
    return true;
}

void unregister(const ComponentBundle::Entry& entry) {
    if (entry.viewComponent) UnregisterComponent(entry.viewComponent);
    UnregisterComponent(entry.component);
}

} // namespace

bool ComponentBundle::Load(const std::string& path, std::string* error) {
    CFObject infoObject(readPlist(path + "/Contents/Info.plist", error));
    auto info = infoObject.As<CFDictionaryRef>();
    if (!info) return false;

    const std::string identifier = stringValue(info, "CFBundleIdentifier");
    const std::string executable = stringValue(info, "CFBundleExecutable");
    auto components = static_cast<CFArrayRef>(value(info, "AudioComponents", CFArrayGetTypeID()));
    if (identifier.empty() || executable.empty() || !components) {
        *error = path + ": Info.plist lacks CFBundleIdentifier, CFBundleExecutable or "
                        "AudioComponents";
        return false;
    }

    const std::string modulePath = path + "/Contents/Linux/" + executable;
    void* module = dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        *error = std::string("cannot load ") + modulePath + ": " + dlerror();
        return false;
    }

    // Every declaration is read before any is registered, so a bad one registers nothing.
    std::vector<Declared> declared;
    for (CFIndex i = 0; i < CFArrayGetCount(components); ++i) {
        auto dict = static_cast<CFDictionaryRef>(CFArrayGetValueAtIndex(components, i));
        if (!dict || CFGetTypeID(dict) != CFDictionaryGetTypeID()) continue;
        declared.emplace_back();
        if (!readDeclared(dict, module, modulePath, &declared.back(), error)) return false;
    }
    std::vector<Entry> entries;
    for (Declared& component : declared) {
        if (!registerDeclared(&component, error)) {
            for (const Entry& done : entries)
                unregister(done);
            return false;
        }
        entries.push_back(component.entry);
    }

    GrindvoxPlatform_RegisterBundle(identifier.c_str(), path.c_str());
    mPath = path;
    mIdentifier = identifier;
    mEntries = entries;
    return true;
}

Component ComponentBundle::Find(OSType type) const {
    for (const Entry& entry : mEntries) {
        if (type == 0 || entry.description.componentType == type) return entry.component;
    }
    return nullptr;
}

std::string DefaultComponentPath() {
    if (const char* fromEnvironment = std::getenv("GRINDVOX_COMPONENT")) return fromEnvironment;
    char self[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return "Grindvox.component";
    self[n] = 0;
    std::string dir(self);
    for (int up = 0; up < 3; ++up) {
        dir = dir.substr(0, dir.find_last_of('/'));
        const std::string candidate = dir + "/Grindvox.component";
        if (access((candidate + "/Contents/Info.plist").c_str(), R_OK) == 0) return candidate;
    }
    return "Grindvox.component";
}
