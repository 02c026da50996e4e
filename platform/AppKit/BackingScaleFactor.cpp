// The screen's scale factor. X has no per-screen notion of it; desktops publish the text DPI
// they want as the Xft.dpi resource in the root window's RESOURCE_MANAGER property, 96 being
// the plain density.
#include "AppKitX11_p.h"

#include <AppKit/GrindvoxAppKit.h>

#include <X11/Xatom.h>
#include <X11/Xresource.h>

#include <cstdlib>
#include <string>

namespace {

constexpr double kPlainDpi = 96.0;
// Beyond this a DPI is a typing error, not a screen.
constexpr double kMaxDpi = 96.0 * 16;

CGFloat gOverride = 0;

// The root window's resource string as it is now; empty when there is none. The string
// XResourceManagerString keeps is the one from when the connection opened.
std::string currentResources(appkit::Connection* c) {
    Atom property = XInternAtom(c->display, "RESOURCE_MANAGER", True);
    if (property == 0) return {};
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(c->display, c->root, property, 0, 1 << 20, False, XA_STRING, &type,
                           &format, &count, &after, &data) != Success)
        return {};
    std::string text;
    if (data && type == XA_STRING && format == 8)
        text.assign(reinterpret_cast<const char*>(data), count);
    if (data) XFree(data);
    return text;
}

// Xft.dpi / 96 of a resource string, or 0 when it names no usable DPI.
double factorOfResources(const std::string& resources) {
    if (resources.empty()) return 0;
    static const bool initialised = (XrmInitialize(), true);
    (void)initialised;
    XrmDatabase database = XrmGetStringDatabase(resources.c_str());
    if (!database) return 0;
    char* type = nullptr;
    XrmValue value{};
    double dpi = 0;
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr &&
        value.size > 0) {
        std::string text(value.addr, value.size);
        char* end = nullptr;
        dpi = std::strtod(text.c_str(), &end);
        if (end == text.c_str()) dpi = 0;
    }
    XrmDestroyDatabase(database);
    if (!(dpi > 0 && dpi <= kMaxDpi)) return 0;
    return dpi / kPlainDpi;
}

} // namespace

CGFloat GrindvoxAppKit_BackingScaleFactor() {
    if (gOverride > 0) return gOverride;
    appkit::Connection* c = appkit::OpenConnection();
    if (!c) return 1.0;
    double factor = factorOfResources(currentResources(c));
    return factor > 0 ? factor : 1.0;
}

void GrindvoxAppKit_SetBackingScaleFactor(CGFloat factor) {
    gOverride = factor > 0 ? factor : 0;
}
