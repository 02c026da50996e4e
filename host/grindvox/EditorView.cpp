#include "host/grindvox/EditorView.h"

#include <AppKit/AppKit.h>
#include <AudioUnit/AUCocoaUIView.h>

namespace {

std::string utf8(CFStringRef text) {
    if (!text) return "";
    char buffer[256];
    if (!CFStringGetCString(text, buffer, sizeof buffer, kCFStringEncodingUTF8)) return "";
    return buffer;
}

} // namespace

EditorView::~EditorView() {
    if (mView) {
        mView->removeFromSuperview();
        mView->release();
    }
    if (mFactory) mFactory->release();
}

Failure EditorView::Open(AudioUnit unit) {
    AudioUnitCocoaViewInfo info = {};
    UInt32 size = sizeof info;
    if (AudioUnitGetProperty(unit, kAudioUnitProperty_CocoaUI, kAudioUnitScope_Global, 0, &info,
                             &size) != noErr)
        return RunError("the unit offers no editor view (it has no CocoaUI property)");
    const std::string className = utf8(info.mCocoaAUViewClass[0]);
    if (info.mCocoaAUViewBundleLocation) CFRelease(info.mCocoaAUViewBundleLocation);
    if (info.mCocoaAUViewClass[0]) CFRelease(info.mCocoaAUViewClass[0]);

    Class factoryClass = NSClassFromCString(className.c_str());
    if (!factoryClass)
        return RunError("the unit's view factory class \"" + className + "\" is not loaded");
    mFactory = class_createInstance(factoryClass, 0);
    auto* factory = dynamic_cast<AUCocoaUIBase*>(mFactory);
    if (!factory) return RunError("\"" + className + "\" is not an Audio Unit view factory");
    // The size asked for is only a wish; the editor has its own.
    mView = factory->uiViewForAudioUnit_withSize(unit, NSMakeSize(436, 108));
    if (!mView) return RunError("the unit's view factory made no view");
    mView->retain();
    return {};
}
