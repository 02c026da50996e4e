#include "tests/lv2/UiHost.h"

#include <lv2/atom/atom.h>
#include <lv2/options/options.h>

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <chrono>
#include <dlfcn.h>
#include <thread>

namespace {

constexpr const char* kPluginURI = "http://tolvasonics.com/plugins/grindvox";
constexpr int kParentW = 1000;
constexpr int kParentH = 300;

} // namespace

UiHost::UiHost(const std::string& bundle, float scaleFactor, int parentX, int parentY)
    : mBundle(bundle), mScaleFactor(scaleFactor) {
    mDisplay = XOpenDisplay(nullptr);
    if (!mDisplay) return;
    mParent = XCreateSimpleWindow(mDisplay, DefaultRootWindow(mDisplay), parentX, parentY, kParentW,
                                  kParentH, 0, 0, 0);
    XSetWindowAttributes noManager;
    noManager.override_redirect = True;
    XChangeWindowAttributes(mDisplay, mParent, CWOverrideRedirect, &noManager);
    XMapRaised(mDisplay, mParent);
    XSync(mDisplay, False);
}

UiHost::~UiHost() {
    Cleanup();
    DestroyParent();
    if (mDisplay) XCloseDisplay(mDisplay);
}

bool UiHost::Instantiate() {
    if (!mDisplay) {
        mError = "no X display";
        return false;
    }
    const std::string module = mBundle + "/grindvox_ui.so";
    // Never closed: a host keeps a module it has loaded.
    void* library = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        mError = dlerror();
        return false;
    }
    auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor"));
    mDescriptor = entry ? entry(0) : nullptr;
    if (!mDescriptor) {
        mError = "no UI descriptor";
        return false;
    }
    // The features stay valid for the instance's life, as the UI may keep them.
    mMap = {this, Map};
    mResize = {this, Resize};
    mTouch = {this, TouchFunction};
    mOptions[0] = {LV2_OPTIONS_INSTANCE,           0,
                   Map(this, LV2_UI__scaleFactor), sizeof(float),
                   Map(this, LV2_ATOM__Float),     &mScaleFactor};
    mOptions[1] = {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr};
    mFeatureData[0] = {LV2_UI__parent, reinterpret_cast<void*>(mParent)};
    mFeatureData[1] = {LV2_UI__idleInterface, nullptr};
    mFeatureData[2] = {LV2_URID__map, &mMap};
    mFeatureData[3] = {LV2_UI__resize, &mResize};
    mFeatureData[4] = {LV2_UI__touch, &mTouch};
    mFeatureData[5] = {LV2_OPTIONS__options, mScaleFactor > 0 ? mOptions : mOptions + 1};
    for (int i = 0; i < kFeatures; ++i)
        mFeatures[i] = &mFeatureData[i];
    mFeatures[kFeatures] = nullptr;
    LV2UI_Widget widget = nullptr;
    mHandle = mDescriptor->instantiate(mDescriptor, kPluginURI, mBundle.c_str(), WriteFunction,
                                       this, &widget, mFeatures);
    if (!mHandle) {
        mError = "instantiate answered null";
        return false;
    }
    mPane = static_cast<Window>(reinterpret_cast<uintptr_t>(widget));
    mIdle = static_cast<const LV2UI_Idle_Interface*>(
        mDescriptor->extension_data(LV2_UI__idleInterface));
    return true;
}

void UiHost::Cleanup() {
    if (!mHandle) return;
    mDescriptor->cleanup(mHandle);
    mHandle = nullptr;
}

void UiHost::DestroyParent() {
    if (!mDisplay || !mParent) return;
    XDestroyWindow(mDisplay, mParent);
    XSync(mDisplay, False);
    mParent = 0;
}

void UiHost::Idle(double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    do {
        if (mIdle && mHandle) mIdle->idle(mHandle);
        if (mDisplay) XSync(mDisplay, False);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } while (std::chrono::steady_clock::now() < end);
}

void UiHost::PortEvent(uint32_t port, float value) {
    if (mHandle) mDescriptor->port_event(mHandle, port, sizeof value, 0, &value);
}

void UiHost::Click(int x, int y) {
    Drag(x, y, 0, 0);
}

void UiHost::Drag(int x, int y, int dx, int dy) {
    int rootX = 0, rootY = 0;
    Window child;
    XTranslateCoordinates(mDisplay, mPane, DefaultRootWindow(mDisplay), x, y, &rootX, &rootY,
                          &child);
    XTestFakeMotionEvent(mDisplay, -1, rootX, rootY, CurrentTime);
    XTestFakeButtonEvent(mDisplay, 1, True, CurrentTime);
    XSync(mDisplay, False);
    Idle(0.1);
    if (dx || dy) {
        XTestFakeMotionEvent(mDisplay, -1, rootX + dx, rootY + dy, CurrentTime);
        XSync(mDisplay, False);
        Idle(0.1);
    }
    XTestFakeButtonEvent(mDisplay, 1, False, CurrentTime);
    XSync(mDisplay, False);
    Idle(0.2);
}

unsigned long UiHost::Pixel(int x, int y) {
    return Pixels(x, y, 1, 1).at(0);
}

std::vector<unsigned long> UiHost::Pixels(int x, int y, int w, int h) {
    std::vector<unsigned long> pixels;
    XSync(mDisplay, False);
    XImage* image = XGetImage(mDisplay, mPane, x, y, w, h, AllPlanes, ZPixmap);
    if (!image) return std::vector<unsigned long>(w * h, 0xDEADBEEF);
    for (int row = 0; row < h; ++row)
        for (int column = 0; column < w; ++column)
            pixels.push_back(XGetPixel(image, column, row) & 0xFFFFFF);
    XDestroyImage(image);
    return pixels;
}

bool UiHost::PaneGeometry(int* w, int* h, Window* parent) {
    XWindowAttributes attributes;
    if (!mPane || !XGetWindowAttributes(mDisplay, mPane, &attributes)) return false;
    *w = attributes.width;
    *h = attributes.height;
    Window root, *children = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(mDisplay, mPane, &root, parent, &children, &n)) return false;
    if (children) XFree(children);
    return true;
}

void UiHost::WriteFunction(LV2UI_Controller controller, uint32_t port, uint32_t size,
                           uint32_t protocol, const void* buffer) {
    auto* host = static_cast<UiHost*>(controller);
    if (protocol != 0 || size != sizeof(float)) {
        host->writes.push_back({port, -1.0e30f});
        return;
    }
    host->writes.push_back({port, *static_cast<const float*>(buffer)});
}

uint32_t UiHost::Map(LV2_URID_Map_Handle handle, const char* uri) {
    auto& urids = static_cast<UiHost*>(handle)->mUrids;
    auto found = urids.find(uri);
    if (found != urids.end()) return found->second;
    const uint32_t urid = static_cast<uint32_t>(urids.size()) + 1;
    urids[uri] = urid;
    return urid;
}

int UiHost::Resize(LV2UI_Feature_Handle handle, int width, int height) {
    static_cast<UiHost*>(handle)->resizes.push_back({width, height});
    return 0;
}

void UiHost::TouchFunction(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed) {
    static_cast<UiHost*>(handle)->touches.push_back({port, grabbed});
}
