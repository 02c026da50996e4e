#include "editor/IKnobControl.h"

namespace {

constexpr double kFineFactor = 10.0;

} // namespace

IKnobControl::IKnobControl(IPlugBase* plug, IRECT rect, int paramIdx, EDirection direction,
                           double gearing)
    : IControl(plug, rect, paramIdx), mDirection(direction), mGearing(gearing) {}

void IKnobControl::OnMouseDrag(int /*x*/, int /*y*/, int dX, int dY, IMouseMod* mod) {
    double gearing = mGearing;
    if (mod && (mod->C || mod->S)) gearing *= kFineFactor;
    // Screen y grows downward, so the span runs from bottom to top and an upward drag adds.
    const int span = mDirection == kVertical ? mRECT.T - mRECT.B : mRECT.R - mRECT.L;
    const int delta = mDirection == kVertical ? dY : dX;
    // A knob with no extent or no gearing has no defined step: the drag changes nothing.
    if (span == 0 || !(gearing > 0.0)) return;
    mValue += static_cast<double>(delta) / span / gearing;
    SetDirty(true);
}
