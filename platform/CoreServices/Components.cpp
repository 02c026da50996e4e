#include "CoreServices/Components_p.h"

#include <CoreServices/Components.h>
#include <CoreServices/MacMemory.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

// The registry: components in registration order, and instance records. Both kinds of record
// are kept for the life of the process (closed instances are reused), so a stale handle still
// points at memory of ours and is refused by its cleared marker instead of being read after a
// free. The marker is what makes calls on an instance lock-free.
struct ComponentRecord {
    OSType marker;
    ComponentDescription description;
    ComponentRoutineUPP entry;
    unsigned char name[256];
    unsigned char info[256];
    bool registered;
    long instanceCount;
    ComponentRecord* next;
};

struct ComponentInstanceRecord {
    std::atomic<OSType> marker;
    ComponentRecord* component;
    std::atomic<Handle> storage;
    std::atomic<OSErr> error;
    ComponentInstanceRecord* nextFree;
};

namespace {

constexpr OSType kComponentMarker = 'cmpt';
constexpr OSType kInstanceMarker = 'inst';

std::mutex gRegistryMutex;
ComponentRecord* gFirstComponent = nullptr;
ComponentRecord* gLastComponent = nullptr;
ComponentInstanceRecord* gFreeInstances = nullptr;

// Copies a Pascal string out of a Handle, bounded by the handle's size.
void copyPascal(unsigned char* out, Handle h) {
    out[0] = 0;
    if (!h || !*h) return;
    Size size = GetHandleSize(h);
    if (size <= 0) return;
    auto* bytes = reinterpret_cast<const unsigned char*>(*h);
    size_t length = bytes[0];
    if (length > static_cast<size_t>(size) - 1) length = static_cast<size_t>(size) - 1;
    out[0] = static_cast<unsigned char>(length);
    memcpy(out + 1, bytes + 1, length);
}

// Writes a Pascal string into a Handle, resizing it; false when it cannot grow.
bool writePascal(Handle h, const unsigned char* text) {
    if (!h) return true;
    SetHandleSize(h, text[0] + 1);
    if (MemError() != noErr) return false;
    memcpy(*h, text, static_cast<size_t>(text[0]) + 1);
    return true;
}

bool matches(const ComponentDescription& have, const ComponentDescription* looking) {
    if (!looking) return true;
    if (looking->componentType && looking->componentType != have.componentType) return false;
    if (looking->componentSubType && looking->componentSubType != have.componentSubType)
        return false;
    if (looking->componentManufacturer &&
        looking->componentManufacturer != have.componentManufacturer)
        return false;
    UInt32 mask = looking->componentFlagsMask;
    return (have.componentFlags & mask) == (looking->componentFlags & mask);
}

bool sameDescription(const ComponentDescription& a, const ComponentDescription& b) {
    return a.componentType == b.componentType && a.componentSubType == b.componentSubType &&
           a.componentManufacturer == b.componentManufacturer;
}

// The live instance behind a handle, or NULL.
ComponentInstanceRecord* liveInstance(ComponentInstance ci) {
    if (!ci || ci->marker.load(std::memory_order_acquire) != kInstanceMarker) return nullptr;
    return ci;
}

// A registered component, or NULL.
ComponentRecord* liveComponentLocked(Component c) {
    for (ComponentRecord* record = gFirstComponent; record; record = record->next) {
        if (record == c) return record->registered ? record : nullptr;
    }
    return nullptr;
}

// Open and Close carry the instance in slot 0 and as their argument in slot 1.
ComponentResult sendOpenOrClose(ComponentInstanceRecord* instance, SInt16 what) {
    const long args[] = {reinterpret_cast<long>(instance)};
    struct {
        UInt8 flags;
        UInt8 paramSize;
        SInt16 what;
        UInt32 padding;
        long params[2];
    } block = {0, sizeof(long), what, 0, {args[0], args[0]}};
    return instance->component->entry(reinterpret_cast<ComponentParameters*>(&block),
                                      instance->storage.load(std::memory_order_acquire));
}

void releaseInstance(ComponentInstanceRecord* instance) {
    std::lock_guard<std::mutex> lock(gRegistryMutex);
    instance->marker.store(0, std::memory_order_release);
    instance->storage.store(nullptr, std::memory_order_relaxed);
    --instance->component->instanceCount;
    instance->nextFree = gFreeInstances;
    gFreeInstances = instance;
}

} // namespace

ComponentResult GrindvoxCallComponent(ComponentInstance ci, SInt16 what, long slot0,
                                      const long* args, int count) {
    ComponentInstanceRecord* instance = liveInstance(ci);
    if (!instance || count < 0 || count > kComponentMaxArguments) return badComponentInstance;
    struct {
        UInt8 flags;
        UInt8 paramSize;
        SInt16 what;
        UInt32 padding;
        long params[kComponentMaxArguments + 1];
    } block;
    block.flags = 0;
    block.paramSize = static_cast<UInt8>(count * sizeof(long));
    block.what = what;
    block.padding = 0;
    block.params[0] = slot0;
    for (int i = 0; i < count; ++i)
        block.params[i + 1] = args[i];
    for (int i = count + 1; i <= kComponentMaxArguments; ++i)
        block.params[i] = 0;
    return instance->component->entry(reinterpret_cast<ComponentParameters*>(&block),
                                      instance->storage.load(std::memory_order_acquire));
}

Component RegisterComponent(ComponentDescription* cd, ComponentRoutineUPP componentEntryPoint,
                            SInt16 global, Handle componentName, Handle componentInfo, Handle) {
    if (!cd || !componentEntryPoint) return nullptr;
    auto* record = static_cast<ComponentRecord*>(calloc(1, sizeof(ComponentRecord)));
    if (!record) return nullptr;
    record->marker = kComponentMarker;
    record->description = *cd;
    record->entry = componentEntryPoint;
    record->registered = true;
    copyPascal(record->name, componentName);
    copyPascal(record->info, componentInfo);
    std::lock_guard<std::mutex> lock(gRegistryMutex);
    if (global & registerComponentNoDuplicates) {
        for (ComponentRecord* other = gFirstComponent; other; other = other->next) {
            if (other->registered && sameDescription(other->description, *cd)) {
                free(record);
                return nullptr;
            }
        }
    }
    if (gLastComponent)
        gLastComponent->next = record;
    else
        gFirstComponent = record;
    gLastComponent = record;
    return record;
}

OSErr UnregisterComponent(Component aComponent) {
    std::lock_guard<std::mutex> lock(gRegistryMutex);
    ComponentRecord* record = liveComponentLocked(aComponent);
    if (!record) return invalidComponentID;
    if (record->instanceCount > 0) return validInstancesExist;
    record->registered = false;
    return noErr;
}

Component FindNextComponent(Component aComponent, ComponentDescription* looking) {
    std::lock_guard<std::mutex> lock(gRegistryMutex);
    ComponentRecord* record = gFirstComponent;
    if (aComponent) {
        while (record && record != aComponent)
            record = record->next;
        if (!record) return nullptr;
        record = record->next;
    }
    for (; record; record = record->next) {
        if (record->registered && matches(record->description, looking)) return record;
    }
    return nullptr;
}

long CountComponents(ComponentDescription* looking) {
    std::lock_guard<std::mutex> lock(gRegistryMutex);
    long count = 0;
    for (ComponentRecord* record = gFirstComponent; record; record = record->next) {
        if (record->registered && matches(record->description, looking)) ++count;
    }
    return count;
}

OSErr GetComponentInfo(Component aComponent, ComponentDescription* cd, Handle componentName,
                       Handle componentInfo, Handle) {
    ComponentRecord* record = nullptr;
    {
        // A component instance is accepted in place of its component, as on the Mac.
        bool isComponent = false;
        for (ComponentRecord* other = gFirstComponent; other && !isComponent; other = other->next)
            isComponent = other == aComponent;
        if (isComponent) {
            record = liveComponentLocked(aComponent);
        } else if (ComponentInstanceRecord* instance =
                       liveInstance(reinterpret_cast<ComponentInstance>(aComponent))) {
            record = instance->component;
        }
        if (!record) return invalidComponentID;
        if (cd) *cd = record->description;
    }
    if (!writePascal(componentName, record->name) || !writePascal(componentInfo, record->info))
        return memFullErr;
    return noErr;
}

OSErr OpenAComponent(Component aComponent, ComponentInstance* ci) {
    if (!ci) return paramErr;
    *ci = nullptr;
    ComponentInstanceRecord* instance = nullptr;
    {
        std::lock_guard<std::mutex> lock(gRegistryMutex);
        ComponentRecord* record = liveComponentLocked(aComponent);
        if (!record) return invalidComponentID;
        instance = gFreeInstances;
        if (instance) {
            gFreeInstances = instance->nextFree;
        } else {
            instance =
                static_cast<ComponentInstanceRecord*>(calloc(1, sizeof(ComponentInstanceRecord)));
            if (!instance) return memFullErr;
            new (instance) ComponentInstanceRecord();
        }
        instance->component = record;
        instance->storage.store(nullptr, std::memory_order_relaxed);
        instance->error.store(noErr, std::memory_order_relaxed);
        instance->nextFree = nullptr;
        ++record->instanceCount;
        instance->marker.store(kInstanceMarker, std::memory_order_release);
    }
    ComponentResult result = sendOpenOrClose(instance, kComponentOpenSelect);
    if (result != noErr) {
        // A component that fails to open is closed again, so it can free what it made.
        sendOpenOrClose(instance, kComponentCloseSelect);
        releaseInstance(instance);
        return static_cast<OSErr>(result);
    }
    *ci = instance;
    return noErr;
}

ComponentInstance OpenComponent(Component aComponent) {
    ComponentInstance ci = nullptr;
    return OpenAComponent(aComponent, &ci) == noErr ? ci : nullptr;
}

OSErr CloseComponent(ComponentInstance aComponentInstance) {
    ComponentInstanceRecord* instance = liveInstance(aComponentInstance);
    if (!instance) return static_cast<OSErr>(badComponentInstance);
    ComponentResult result = sendOpenOrClose(instance, kComponentCloseSelect);
    releaseInstance(instance);
    return static_cast<OSErr>(result);
}

void SetComponentInstanceStorage(ComponentInstance aComponentInstance, Handle theStorage) {
    if (ComponentInstanceRecord* instance = liveInstance(aComponentInstance))
        instance->storage.store(theStorage, std::memory_order_release);
}

Handle GetComponentInstanceStorage(ComponentInstance aComponentInstance) {
    ComponentInstanceRecord* instance = liveInstance(aComponentInstance);
    return instance ? instance->storage.load(std::memory_order_acquire) : nullptr;
}

OSErr GetComponentInstanceError(ComponentInstance aComponentInstance) {
    ComponentInstanceRecord* instance = liveInstance(aComponentInstance);
    if (!instance) return static_cast<OSErr>(badComponentInstance);
    return instance->error.exchange(noErr, std::memory_order_relaxed);
}

void SetComponentInstanceError(ComponentInstance aComponentInstance, OSErr theError) {
    if (ComponentInstanceRecord* instance = liveInstance(aComponentInstance))
        instance->error.store(theError, std::memory_order_relaxed);
}

long CountComponentInstances(Component aComponent) {
    std::lock_guard<std::mutex> lock(gRegistryMutex);
    ComponentRecord* record = liveComponentLocked(aComponent);
    return record ? record->instanceCount : 0;
}

ComponentResult CallComponentCanDo(ComponentInstance ci, SInt16 ftnNumber) {
    return GrindvoxCallComponent(ci, kComponentCanDoSelect, static_cast<long>(ftnNumber), nullptr,
                                 0);
}

ComponentResult CallComponentVersion(ComponentInstance ci) {
    return GrindvoxCallInstance(ci, kComponentVersionSelect);
}
