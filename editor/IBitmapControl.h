#pragma once

#include "editor/IBitmap.h"
#include "editor/IControl.h"

// The frame (1-based) of an image of nFrames frames that shows a value 0..1: the nearest of the
// evenly spread frames, within 1..nFrames.
int FrameForValue(int nFrames, double value);

// One frame of a strip of images at (x, y), the frame chosen by the value; its area is one
// frame's size. A missing image gives an empty area, which is never drawn or hit.
class IBitmapControl : public IControl {
public:
    IBitmapControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                   int blendMethod = IChannelBlend::kBlendNormal);

    bool Draw(IGraphics* graphics) override;
    const IBitmap& GetBitmap() const { return mBitmap; }

protected:
    IBitmap mBitmap;
};
