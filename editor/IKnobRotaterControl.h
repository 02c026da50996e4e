#pragma once

#include "editor/IBitmap.h"
#include "editor/IKnobControl.h"

// A knob drawn as its whole image turned about the area's centre (moved down by the y offset)
// to an angle between the limits (radians, clockwise) for the value.
class IKnobRotaterControl : public IKnobControl {
public:
    IKnobRotaterControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                        double minAngle = -0.75 * 3.14159265358979323846,
                        double maxAngle = 0.75 * 3.14159265358979323846, int yOffset = 0,
                        EDirection direction = kVertical, double gearing = kDefaultGearing);

    bool Draw(IGraphics* graphics) override;

protected:
    IBitmap mBitmap;
    double mMinAngle, mMaxAngle; // radians
    int mYOffset;                // pixels
};
