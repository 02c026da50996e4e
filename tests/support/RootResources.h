#pragma once

// Sets the X resources a desktop publishes (the root window's RESOURCE_MANAGER property, what
// xrdb writes) for the life of the object, and puts back what was there. Include after
// GoogleTest: Xlib defines macros that GoogleTest uses as names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <string>

class RootResources {
public:
    explicit RootResources(Display* display)
        : mDisplay(display), mProperty(XInternAtom(display, "RESOURCE_MANAGER", False)) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, DefaultRootWindow(display), mProperty, 0, 1 << 20, False,
                               XA_STRING, &type, &format, &count, &after, &data) == Success &&
            data && type == XA_STRING) {
            mSaved.assign(reinterpret_cast<const char*>(data), count);
            mHadOne = true;
        }
        if (data) XFree(data);
    }
    ~RootResources() {
        if (mHadOne) {
            Set(mSaved);
        } else {
            Remove();
        }
    }
    RootResources(const RootResources&) = delete;
    RootResources& operator=(const RootResources&) = delete;

    void Set(const std::string& text) {
        XChangeProperty(mDisplay, DefaultRootWindow(mDisplay), mProperty, XA_STRING, 8,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(text.data()),
                        static_cast<int>(text.size()));
        XSync(mDisplay, False);
    }
    void Remove() {
        XDeleteProperty(mDisplay, DefaultRootWindow(mDisplay), mProperty);
        XSync(mDisplay, False);
    }

private:
    Display* mDisplay;
    Atom mProperty;
    std::string mSaved;
    bool mHadOne = false;
};
