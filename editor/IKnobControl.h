#pragma once

#include "editor/EDirection.h"
#include "editor/IControl.h"

// The base of every knob: dragging along its direction by the control's full size changes the
// value by 1 / gearing (upward or rightward raising it), ten times finer with Control or Shift.
// Right press, double click and wheel behave as for any control.
class IKnobControl : public IControl {
public:
    static constexpr double kDefaultGearing = 4.0;

    IKnobControl(IPlugBase* plug, IRECT rect, int paramIdx, EDirection direction = kVertical,
                 double gearing = kDefaultGearing);

    void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override;

protected:
    EDirection mDirection;
    double mGearing; // pixels-to-value divisor
};
