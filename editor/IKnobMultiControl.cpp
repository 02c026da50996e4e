#include "editor/IKnobMultiControl.h"

#include "editor/IBitmapControl.h"
#include "editor/IGraphics.h"

namespace {

IRECT FrameArea(int x, int y, const IBitmap* bitmap) {
    if (!bitmap || !bitmap->mData) return IRECT();
    return IRECT(x, y, x + bitmap->W, y + bitmap->FrameHeight());
}

} // namespace

IKnobMultiControl::IKnobMultiControl(IPlugBase* plug, int x, int y, int paramIdx,
                                     const IBitmap* bitmap, EDirection direction, double gearing)
    : IKnobControl(plug, FrameArea(x, y, bitmap), paramIdx, direction, gearing),
      mBitmap(bitmap ? *bitmap : IBitmap()) {}

bool IKnobMultiControl::Draw(IGraphics* graphics) {
    return graphics->DrawBitmap(&mBitmap, &mRECT, FrameForValue(mBitmap.N, mValue), &mBlend);
}
