#pragma once

// What the tests of the editor's windows share: colours as the draw bitmap keeps them, a
// control that paints one colour and records the pointer, and time on the run loop.
#include "editor/IControl.h"
#include "editor/IGraphics.h"

#include <CoreFoundation/CoreFoundation.h>

#include <algorithm>
#include <utility>
#include <vector>

// A 0xRRGGBB colour as the draw bitmap keeps it: one ignored byte, then red, green and blue.
inline unsigned int Stored(unsigned int rgb) {
    return ((rgb >> 16) & 0xFF) << 8 | ((rgb >> 8) & 0xFF) << 16 | (rgb & 0xFF) << 24;
}
// The 0xRRGGBB colour a stored pixel shows.
inline unsigned int Shown(unsigned int stored) {
    return ((stored >> 8) & 0xFF) << 16 | ((stored >> 16) & 0xFF) << 8 | (stored >> 24);
}

// Runs the run loop, timers and X events included, for about this long.
inline void Pump(double seconds) {
    CFAbsoluteTime end = CFAbsoluteTimeGetCurrent() + seconds;
    while (CFAbsoluteTimeGetCurrent() < end)
        CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.01, false);
}

// Fills its area with one colour and records presses (and whether the right button made them)
// and wheel turns; a drag moves its parameter up by a tenth. The editor's width must be a
// multiple of 4, so that the draw bitmap's rows are exactly that many pixels.
class Patch : public IControl {
public:
    Patch(IPlugBase* plug, IRECT rect, int paramIdx, unsigned int colour)
        : IControl(plug, rect, paramIdx), mColour(colour) {}
    bool Draw(IGraphics* graphics) override {
        unsigned int* bits = graphics->GetBits();
        const int w = graphics->Width();
        for (int y = mRECT.T; y < mRECT.B; ++y)
            for (int x = mRECT.L; x < mRECT.R; ++x)
                bits[y * w + x] = Stored(mColour);
        return true;
    }
    void OnMouseDown(int x, int y, IMouseMod* mod) override {
        downs.push_back({x, y});
        rights.push_back(mod && mod->R);
    }
    void OnMouseWheel(int, int, IMouseMod*, int d) override { wheels.push_back(d); }
    void OnMouseDrag(int, int, int, int, IMouseMod*) override {
        SetValue(std::min(1.0, GetValue() + 0.1));
        SetDirty();
    }
    unsigned int mColour;
    std::vector<std::pair<int, int>> downs;
    std::vector<bool> rights;
    std::vector<int> wheels;
};
