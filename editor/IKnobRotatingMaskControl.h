#pragma once

#include "editor/IBitmap.h"
#include "editor/IKnobControl.h"

// A knob of three layers of one size: a still base, a mask added over it and a top layer laid
// over both, the mask and top turned together to an angle between the limits (degrees,
// clockwise) for the value.
class IKnobRotatingMaskControl : public IKnobControl {
public:
    IKnobRotatingMaskControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* base,
                             const IBitmap* mask, const IBitmap* top, double minAngle = -151.0,
                             double maxAngle = 151.0, EDirection direction = kVertical,
                             double gearing = kDefaultGearing);

    bool Draw(IGraphics* graphics) override;

protected:
    IBitmap mBase, mMask, mTop;
    double mMinAngle, mMaxAngle; // degrees
};
