// The LV2 UI module's front door: Grindvox's editor in a pane of the host's window, one UI for
// the stereo and the mono plug-in alike. The editor runs on the host's UI thread and only when
// the host calls: its timer and the X events come through the host's idle calls, and nothing
// here starts a thread. The module exports only lv2ui_descriptor.
#include "editor/IGraphicsMac.h"
#include "effect/Grindvox.h"
#include "lv2/LV2Features.h"

#include <AppKit/AppKit.h>
#include <AppKit/GrindvoxAppKit.h>
#include <Carbon/Carbon.h>
#include <CoreFoundation/CFBundleRegistry.h>
#include <CoreFoundation/CoreFoundation.h>

#include <cstdint>
#include <cstring>

#define GRINDVOX_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// Users' sessions keep it for ever: never change it.
constexpr const char* kUiURI = "http://tolvasonics.com/plugins/grindvox#ui";
// The identifier the editor finds its pictures by; the host's bundle path is registered under it.
constexpr const char* kBundleID = GRINDVOX_BUNDLE_ID;

// What the host offers, each null when it does not.
struct HostFeatures {
    const void* parent = nullptr;
    const LV2UI_Resize* resize = nullptr;
    const LV2UI_Touch* touch = nullptr;
    double scaleFactor = 0.0; // ui:scaleFactor, 0 when the host gives none
};

HostFeatures readFeatures(const LV2_Feature* const* features) {
    HostFeatures host;
    host.parent = FindFeature(features, LV2_UI__parent);
    host.resize = static_cast<const LV2UI_Resize*>(FindFeature(features, LV2_UI__resize));
    host.touch = static_cast<const LV2UI_Touch*>(FindFeature(features, LV2_UI__touch));
    ReadRealOption(features, LV2_UI__scaleFactor, &host.scaleFactor);
    return host;
}

// Makes the effect's parameters and editor and opens the editor in the host's parent window;
// null (with nothing left behind) when the host gives no parent or no display can be opened.
Grindvox* openEditor(const char* bundlePath, LV2UI_Write_Function writeFunction,
                     LV2UI_Controller controller, const HostFeatures& host, LV2UI_Widget* widget) {
    if (!GrindvoxAppKit_HasDisplay()) return nullptr;
    GrindvoxPlatform_RegisterBundle(kBundleID, bundlePath);
    IPlugInstanceInfo info;
    info.mWriteFunction = writeFunction;
    info.mController = controller;
    info.mTouch = host.touch;
    info.mResize = host.resize;
    info.mBundleID = kBundleID;
    auto* plug = new Grindvox(info);
    auto* graphics = static_cast<IGraphicsMac*>(plug->GetGUI());
    ControlRef pane = nullptr;
    if (graphics) {
        graphics->SetDisplayScale(host.scaleFactor);
        pane =
            static_cast<ControlRef>(graphics->OpenWindow(const_cast<void*>(host.parent), nullptr));
    }
    if (!pane) {
        delete plug;
        return nullptr;
    }
    *widget = reinterpret_cast<LV2UI_Widget>(
        static_cast<uintptr_t>(GrindvoxCarbon_XWindowOfControl(pane)));
    // The host learns the pane's size, when it offers to.
    plug->ResizeGraphics(graphics->Width(), graphics->Height());
    return plug;
}

LV2UI_Handle instantiate(const LV2UI_Descriptor* /*descriptor*/, const char* /*pluginURI*/,
                         const char* bundlePath, LV2UI_Write_Function writeFunction,
                         LV2UI_Controller controller, LV2UI_Widget* widget,
                         const LV2_Feature* const* features) {
    if (!bundlePath || !*bundlePath || !writeFunction || !widget) return nullptr;
    const HostFeatures host = readFeatures(features);
    if (!host.parent) return nullptr;
    // What the editor autoreleases while it opens goes now, not at some later idle call.
    NSAutoreleasePool* pool = new NSAutoreleasePool;
    Grindvox* plug = openEditor(bundlePath, writeFunction, controller, host, widget);
    pool->drain();
    return plug;
}

void cleanup(LV2UI_Handle ui) {
    NSAutoreleasePool* pool = new NSAutoreleasePool;
    delete static_cast<Grindvox*>(ui);
    pool->drain();
}

void portEvent(LV2UI_Handle ui, uint32_t port, uint32_t bufferSize, uint32_t format,
               const void* buffer) {
    static_cast<Grindvox*>(ui)->PortEvent(port, bufferSize, format, buffer);
}

// One pass of the run loop the editor lives on: its timer, its X events, its drawing. Never
// waits. The pane lives as long as the host's window, so the UI never closes by itself.
int idle(LV2UI_Handle /*ui*/) {
    CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.0, false);
    return 0;
}

const void* extensionData(const char* uri) {
    static const LV2UI_Idle_Interface kIdle = {idle};
    if (uri && std::strcmp(uri, LV2_UI__idleInterface) == 0) return &kIdle;
    return nullptr;
}

const LV2UI_Descriptor kDescriptor = {kUiURI, instantiate, cleanup, portEvent, extensionData};

} // namespace

GRINDVOX_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
