#pragma once

#include "editor/ISwitchControl.h"

// A switch that shows its content only when on: while the value is below 0.5 nothing is drawn and
// the mouse is taken over the target area instead (the place that opens it); from 0.5 up the
// image is shown and takes the mouse over its own area. The area switches at each draw.
class IBitmapOverlayControl : public ISwitchControl {
public:
    IBitmapOverlayControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                          IRECT targetArea, int blendMethod = IChannelBlend::kBlendNormal);

    bool Draw(IGraphics* graphics) override;

protected:
    IRECT mTargetArea;
};
