#include <CoreGraphics/CGColor.h>

#include <atomic>
#include <new>

// Only the device RGB space exists: three components and alpha.
struct CGColorSpace {
    std::atomic<long> retainCount{1};
};

struct CGColor {
    std::atomic<long> retainCount{1};
    CGFloat components[4];
};

CGColorSpaceRef CGColorSpaceCreateDeviceRGB(void) {
    return new (std::nothrow) CGColorSpace;
}

CGColorSpaceRef CGColorSpaceRetain(CGColorSpaceRef space) {
    if (space) space->retainCount.fetch_add(1, std::memory_order_relaxed);
    return space;
}

void CGColorSpaceRelease(CGColorSpaceRef space) {
    if (space && space->retainCount.fetch_sub(1, std::memory_order_acq_rel) == 1) delete space;
}

size_t CGColorSpaceGetNumberOfComponents(CGColorSpaceRef space) {
    return space ? 3 : 0;
}

CGColorRef CGColorCreate(CGColorSpaceRef space, const CGFloat* components) {
    if (!space || !components) return nullptr;
    return CGColorCreateGenericRGB(components[0], components[1], components[2], components[3]);
}

CGColorRef CGColorCreateGenericRGB(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha) {
    CGColor* color = new (std::nothrow) CGColor;
    if (!color) return nullptr;
    color->components[0] = red;
    color->components[1] = green;
    color->components[2] = blue;
    color->components[3] = alpha;
    return color;
}

CGColorRef CGColorRetain(CGColorRef color) {
    if (color) color->retainCount.fetch_add(1, std::memory_order_relaxed);
    return color;
}

void CGColorRelease(CGColorRef color) {
    if (color && color->retainCount.fetch_sub(1, std::memory_order_acq_rel) == 1) delete color;
}

const CGFloat* CGColorGetComponents(CGColorRef color) {
    return color ? color->components : nullptr;
}

size_t CGColorGetNumberOfComponents(CGColorRef color) {
    return color ? 4 : 0;
}

CGFloat CGColorGetAlpha(CGColorRef color) {
    return color ? color->components[3] : 0;
}
