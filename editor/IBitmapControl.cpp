#include "editor/IBitmapControl.h"

#include "editor/IGraphics.h"

#include <cmath>

namespace {

IRECT FrameArea(int x, int y, const IBitmap* bitmap) {
    if (!bitmap || !bitmap->mData) return IRECT();
    return IRECT(x, y, x + bitmap->W, y + bitmap->FrameHeight());
}

} // namespace

int FrameForValue(int nFrames, double value) {
    if (nFrames <= 1 || !std::isfinite(value)) return 1;
    const double frame = 1.0 + std::trunc((nFrames - 1) * value + 0.5);
    if (frame < 1.0) return 1;
    return frame > nFrames ? nFrames : static_cast<int>(frame);
}

IBitmapControl::IBitmapControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                               int blendMethod)
    : IControl(plug, FrameArea(x, y, bitmap), paramIdx, IChannelBlend(blendMethod)),
      mBitmap(bitmap ? *bitmap : IBitmap()) {}

bool IBitmapControl::Draw(IGraphics* graphics) {
    return graphics->DrawBitmap(&mBitmap, &mRECT, FrameForValue(mBitmap.N, mValue), &mBlend);
}
