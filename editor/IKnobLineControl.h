#pragma once

#include "editor/IColor.h"
#include "editor/IKnobControl.h"

// A knob drawn as one antialiased line from the inner to the outer radius about the area's
// centre, at an angle between the two limits (radians, 0 pointing up, clockwise) for the value.
class IKnobLineControl : public IKnobControl {
public:
    IKnobLineControl(IPlugBase* plug, IRECT rect, int paramIdx, const IColor* color,
                     double innerRadius = 0.0, double outerRadius = 0.0,
                     double minAngle = -0.75 * 3.14159265358979323846,
                     double maxAngle = 0.75 * 3.14159265358979323846,
                     EDirection direction = kVertical, double gearing = kDefaultGearing);

    bool Draw(IGraphics* graphics) override;

protected:
    IColor mColor;
    float mMinAngle, mMaxAngle;       // radians
    float mInnerRadius, mOuterRadius; // pixels; an outer radius of 0 reaches the area's half width
};
