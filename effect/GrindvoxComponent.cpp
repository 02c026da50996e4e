// The component module's front door: the factory, the two exported entries a host finds
// through the bundle's Info.plist, and the Cocoa view factory class it finds by name.
#include "effect/Grindvox.h"

#include "au/IPlugAUViewFactory.h"

#include "containers/WDL_Mutex.h"

#define GRINDVOX_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// The build writes the same identifier into the bundle's Info.plist.
constexpr const char* kGrindvoxBundleID = GRINDVOX_BUNDLE_ID;
constexpr const char* kGrindvoxViewClass = "Grindvox_View";

} // namespace

// The class the CocoaUI property names.
class Grindvox_View : public IPlugAUViewFactory {
public:
    Grindvox_View() : IPlugAUViewFactory("Grindvox View") {}
};

// Registered while the module is loaded, so that a host's NSClassFromString finds it.
static NSClassRegistration<Grindvox_View> sGrindvoxViewClass(kGrindvoxViewClass);

IPlugAU* MakePlug() {
    // Constructions of instances are serialised across the whole process.
    static WDL_Mutex sMutex;
    WDL_MutexLock lock(&sMutex);
    IPlugInstanceInfo info;
    info.mBundleID.Set(kGrindvoxBundleID);
    info.mCocoaViewFactoryClassName.Set(kGrindvoxViewClass);
    return new Grindvox(info);
}

GRINDVOX_EXPORT ComponentResult Grindvox_Entry(ComponentParameters* params, Handle storage) {
    return IPlugAU::IPlugAUEntry(params, storage);
}

GRINDVOX_EXPORT ComponentResult Grindvox_ViewEntry(ComponentParameters* params, Handle storage) {
    return IPlugAU::IPlugAUCarbonViewEntry(params, storage);
}
