#include "editor/DisplayScale.h"

namespace {

int floorDiv(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

int clamp(int v, int lo, int hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}

} // namespace

IRECT DeviceAreaOfEditorArea(const IRECT& r, int scale, int w, int h) {
    if (scale <= 1) return r;
    // Device pixel i mixes editor pixels floor(i / s) and the one after: those from
    // s (L - 1) + 1 to s R - 1 reach into [L, R).
    const int sw = w * scale, sh = h * scale;
    return IRECT(clamp(scale * (r.L - 1) + 1, 0, sw), clamp(scale * (r.T - 1) + 1, 0, sh),
                 clamp(scale * r.R, 0, sw), clamp(scale * r.B, 0, sh));
}

IRECT EditorAreaOfDeviceArea(const IRECT& r, int scale, int w, int h) {
    if (scale <= 1) return r;
    // The last device pixel, R - 1, mixes editor pixel ceil((R - 1) / s).
    return IRECT(clamp(floorDiv(r.L, scale), 0, w), clamp(floorDiv(r.T, scale), 0, h),
                 clamp(floorDiv(r.R - 1 + scale - 1, scale) + 1, 0, w),
                 clamp(floorDiv(r.B - 1 + scale - 1, scale) + 1, 0, h));
}

IRECT DeviceRect(const IRECT& r, int scale) {
    if (scale <= 1) return r;
    return IRECT(r.L * scale, r.T * scale, r.R * scale, r.B * scale);
}

int EditorCoordinate(int device, int scale) {
    return scale <= 1 ? device : floorDiv(device, scale);
}
