#include "au/IPlugAUViewFactory.h"

#include "au/IPlugAU.h"
#include "au/IPlugAULive.h"
#include "editor/IGraphics.h"
#include "plugin/Trace.h"

IPlugAUViewFactory::IPlugAUViewFactory(const char* description) : mDescription(description) {}

NSString* IPlugAUViewFactory::description() const {
    return NSString::stringWithUTF8String(mDescription);
}

NSView* IPlugAUViewFactory::uiViewForAudioUnit_withSize(AudioUnit unit, NSSize /*preferredSize*/) {
    TRACE_CALL("%s", mDescription);
    mPlug = unit ? reinterpret_cast<IPlugAU*>(GetComponentInstanceStorage(unit)) : nullptr;
    NSView* view = nil;
    // A unit closed under the host leaves no plug-in to ask.
    IPlugAULive::Use(mPlug, 0, [&](IPlugAU* plug) {
        if (IGraphics* graphics = plug->GetGUI())
            view = static_cast<NSView*>(graphics->OpenWindow(static_cast<void*>(nullptr)));
    });
    return view;
}
