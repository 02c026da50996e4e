#include "host/grindvox/StateFile.h"

#include "host/CFObject.h"
#include "host/grindvox/PendingFile.h"
#include "host/grindvox/Text.h"

#include <AudioUnit/AudioUnit.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

const void* lookUp(CFDictionaryRef dict, const char* key) {
    CFObject keyString(CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8));
    return keyString.Get() ? CFDictionaryGetValue(dict, keyString.Get()) : nullptr;
}

std::string tooLarge(long long size) {
    return (size < 0 ? std::string("it holds") : "it is " + std::to_string(size) + " bytes,") +
           " more than the " + std::to_string(kMaxStateFileBytes / (1024 * 1024)) +
           " MiB a state file may be";
}

bool readCode(CFDictionaryRef dict, const char* key, SInt32* code) {
    auto number = static_cast<CFNumberRef>(lookUp(dict, key));
    if (!number || CFGetTypeID(number) != CFNumberGetTypeID()) return false;
    return CFNumberGetValue(number, kCFNumberSInt32Type, code);
}

Failure cannotRead(const std::string& path, const std::string& reason) {
    return RunError("cannot read \"" + path + "\": " + reason);
}

// Reads the whole of a state file, refusing what cannot be one: a folder, or more than
// kMaxStateFileBytes (checked before reading when the size is known, and while reading when
// not, as from a pipe).
Failure readWhole(const std::string& path, std::string* bytes) {
    const int fd = open(path.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return cannotRead(path, std::strerror(errno));
    struct stat s;
    Failure failure;
    if (fstat(fd, &s) != 0)
        failure = cannotRead(path, std::strerror(errno));
    else if (S_ISDIR(s.st_mode))
        failure = cannotRead(path, "it is a folder");
    else if (S_ISREG(s.st_mode) && static_cast<size_t>(s.st_size) > kMaxStateFileBytes)
        failure = cannotRead(path, tooLarge(static_cast<long long>(s.st_size)));
    char buffer[1 << 16];
    while (!failure.Failed()) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) break;
        if (n < 0) {
            failure = cannotRead(path, std::strerror(errno));
        } else if (bytes->size() + static_cast<size_t>(n) > kMaxStateFileBytes) {
            failure = cannotRead(path, tooLarge(-1));
        } else {
            bytes->append(buffer, static_cast<size_t>(n));
        }
    }
    close(fd);
    return failure;
}

// Writes the bytes as an output made final only once they are all written.
Failure writeOutput(const std::string& path, const void* bytes, size_t size, bool noClobber) {
    OutputTarget target;
    Failure failure = ExamineOutput(path, noClobber, &target);
    if (failure.Failed()) return failure;
    PendingFile file;
    std::string reason;
    if (!file.Create(target, noClobber, &reason) || !file.Write(bytes, size, &reason) ||
        !file.Commit(&reason))
        return RunError(reason);
    return {};
}

bool endsWithIgnoringCase(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           EqualIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

} // namespace

StateFileKind StateFileKindOf(const std::string& path) {
    if (endsWithIgnoringCase(path, ".fxp")) return StateFileKind::Program;
    if (endsWithIgnoringCase(path, ".fxb")) return StateFileKind::Bank;
    return StateFileKind::PropertyList;
}

Failure SaveStateFile(const std::string& path, CFPropertyListRef state, bool noClobber) {
    CFErrorRef error = nullptr;
    CFObject data(
        CFPropertyListCreateData(nullptr, state, kCFPropertyListXMLFormat_v1_0, 0, &error));
    CFObject errorOwner(error);
    if (!data.Is(CFDataGetTypeID()))
        return RunError("cannot write \"" + path + "\": the unit's state is not a property list");
    return writeOutput(path, CFDataGetBytePtr(data.As<CFDataRef>()),
                       static_cast<size_t>(CFDataGetLength(data.As<CFDataRef>())), noClobber);
}

Failure ReadPresetFile(const std::string& path, std::string* bytes) {
    bytes->clear();
    return readWhole(path, bytes);
}

Failure SavePresetFile(const std::string& path, const std::string& bytes, bool noClobber) {
    return writeOutput(path, bytes.data(), bytes.size(), noClobber);
}

Failure LoadStateFile(const std::string& path, const ComponentDescription& expected,
                      CFPropertyListRef* state) {
    *state = nullptr;
    std::string bytes;
    Failure failure = readWhole(path, &bytes);
    if (failure.Failed()) return failure;
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
