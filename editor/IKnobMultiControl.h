#pragma once

#include "editor/IBitmap.h"
#include "editor/IKnobControl.h"

// A knob drawn as the frame of a strip (typically 60 pictures of the knob turned) nearest its
// value; its area is one frame.
class IKnobMultiControl : public IKnobControl {
public:
    IKnobMultiControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                      EDirection direction = kVertical, double gearing = kDefaultGearing);

    bool Draw(IGraphics* graphics) override;

protected:
    IBitmap mBitmap;
};
