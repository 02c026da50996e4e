#pragma once

#include <AudioUnit/AUCocoaUIView.h>

class IPlugAU;

// The Cocoa view factory a host finds by the class name the CocoaUI property gives: it finds
// the plug-in behind the unit and asks its editor for a view. An effect registers a subclass
// under its own class name when its module loads (NSClassRegistration). Main thread.
class IPlugAUViewFactory : public NSObject, public AUCocoaUIBase {
public:
    // description is what -description answers ("Grindvox View").
    explicit IPlugAUViewFactory(const char* description);

    unsigned interfaceVersion() override { return 0; }
    NSString* description() const override;
    // The editor's view (the editor's own size whatever the preferred size), or nil when the
    // unit has no plug-in, its unit is closed, or it has no editor. The view belongs to the
    // editor; a host keeps it by adding it to a window.
    NSView* uiViewForAudioUnit_withSize(AudioUnit unit, NSSize preferredSize) override;

    // The plug-in last asked about; it is only touched while its unit is open.
    IPlugAU* Plug() const { return mPlug; }

private:
    const char* mDescription;
    IPlugAU* mPlug = nullptr;
};
