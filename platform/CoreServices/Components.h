#pragma once

// The Component Manager: a process-wide registry of components (a description and an entry
// function each) and the instances opened from them. Every call on an instance goes to the
// component's entry as a ComponentParameters block plus the instance's storage.
//
// Parameter block (64-bit layout): flags, paramSize (bytes of argument slots used), what (the
// selector), padding, then pointer-sized slots. Slot 0 holds the instance itself (for CanDo,
// the selector asked about, sign-extended); slots 1..n hold the call's arguments in the order
// of the published function's parameter list. Each argument fills one slot: integers and
// pointers converted to the slot's width (signed types sign-extended, unsigned ones
// zero-extended), a Float32 or Float64 stored in the first bytes of its slot, so that
// `*(T*)&params->params[i]` reads every argument back. Open and Close pass the instance in
// slot 0 and again as their argument in slot 1.
//
// Registry and instance calls are thread-safe; an instance's entry is called on the caller's
// thread with no lock of the Component Manager held.
#include <CoreServices/MacErrors.h>
#include <CoreServices/MacMemory.h>
#include <MacTypes.h>

GRINDVOX_EXTERN_C_BEGIN

enum {
    kAppleManufacturer = 'appl',
    kComponentResourceType = 'thng',
    kComponentAliasResourceType = 'thga'
};

enum {
    kAnyComponentType = 0,
    kAnyComponentSubType = 0,
    kAnyComponentManufacturer = 0,
    kAnyComponentFlagsMask = 0
};

enum {
    cmpThreadSafe = 1L << 28,
    cmpIsMissing = 1L << 29,
    cmpWantsRegisterMessage = (int)(1UL << 31)
};

enum {
    kComponentOpenSelect = -1,
    kComponentCloseSelect = -2,
    kComponentCanDoSelect = -3,
    kComponentVersionSelect = -4,
    kComponentRegisterSelect = -5,
    kComponentTargetSelect = -6,
    kComponentUnregisterSelect = -7,
    kComponentGetMPWorkFunctionSelect = -8,
    kComponentExecuteWiredActionSelect = -9,
    kComponentGetPublicResourceSelect = -10
};

// RegisterComponent's global flags.
enum {
    registerComponentGlobal = 1,
    registerComponentNoDuplicates = 2,
    registerComponentAfterExisting = 4
};

// Components matching a description: zero type, subtype or manufacturer match anything, and
// only the flag bits in componentFlagsMask are compared.
typedef struct ComponentDescription {
    OSType componentType;
    OSType componentSubType;
    OSType componentManufacturer;
    UInt32 componentFlags;
    UInt32 componentFlagsMask;
} ComponentDescription;

typedef struct ComponentParameters {
    UInt8 flags;
    UInt8 paramSize;
    SInt16 what;
    UInt32 padding;
    long params[1];
} ComponentParameters;

typedef struct ComponentRecord* Component;
typedef struct ComponentInstanceRecord* ComponentInstance;
typedef SInt32 ComponentResult;

typedef ComponentResult (*ComponentRoutineProcPtr)(ComponentParameters* cp,
                                                   Handle componentStorage);
typedef ComponentRoutineProcPtr ComponentRoutineUPP;
typedef ComponentRoutineProcPtr ComponentFunctionUPP;

// Registry. componentName and componentInfo are Handles to Pascal strings (may be NULL); the
// registry copies them. Returns NULL for a NULL description or entry, when memory runs out, or
// when registerComponentNoDuplicates is set and an identical description is registered.
GRINDVOX_PLATFORM_API Component RegisterComponent(ComponentDescription* cd,
                                                  ComponentRoutineUPP componentEntryPoint,
                                                  SInt16 global, Handle componentName,
                                                  Handle componentInfo, Handle componentIcon);
// validInstancesExist while instances of it are open.
GRINDVOX_PLATFORM_API OSErr UnregisterComponent(Component aComponent);
// The next registered component after aComponent (NULL: from the first) that matches looking
// (NULL: every component), in registration order.
GRINDVOX_PLATFORM_API Component FindNextComponent(Component aComponent,
                                                  ComponentDescription* looking);
GRINDVOX_PLATFORM_API long CountComponents(ComponentDescription* looking);
// Writes the registered description and, into the Handles given (resized to fit), the name and
// info as Pascal strings. Accepts a ComponentInstance as well, answering for its component.
GRINDVOX_PLATFORM_API OSErr GetComponentInfo(Component aComponent, ComponentDescription* cd,
                                             Handle componentName, Handle componentInfo,
                                             Handle componentIcon);

// Instances. OpenAComponent sends kComponentOpenSelect; a non-zero status from the component
// closes the instance again (the component gets kComponentCloseSelect) and is returned.
// CloseComponent sends kComponentCloseSelect and frees the instance; an unknown instance
// answers badComponentInstance.
GRINDVOX_PLATFORM_API OSErr OpenAComponent(Component aComponent, ComponentInstance* ci);
GRINDVOX_PLATFORM_API ComponentInstance OpenComponent(Component aComponent);
GRINDVOX_PLATFORM_API OSErr CloseComponent(ComponentInstance aComponentInstance);

GRINDVOX_PLATFORM_API void SetComponentInstanceStorage(ComponentInstance aComponentInstance,
                                                       Handle theStorage);
// NULL for an instance that stored nothing (or is unknown).
GRINDVOX_PLATFORM_API Handle GetComponentInstanceStorage(ComponentInstance aComponentInstance);
GRINDVOX_PLATFORM_API OSErr GetComponentInstanceError(ComponentInstance aComponentInstance);
GRINDVOX_PLATFORM_API void SetComponentInstanceError(ComponentInstance aComponentInstance,
                                                     OSErr theError);
GRINDVOX_PLATFORM_API long CountComponentInstances(Component aComponent);

// Asks the instance whether it handles a selector (kComponentCanDoSelect): 1 or 0.
GRINDVOX_PLATFORM_API ComponentResult CallComponentCanDo(ComponentInstance ci, SInt16 ftnNumber);
// The instance's version (kComponentVersionSelect).
GRINDVOX_PLATFORM_API ComponentResult CallComponentVersion(ComponentInstance ci);

GRINDVOX_EXTERN_C_END
