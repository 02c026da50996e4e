#include "editor/IKnobRotaterControl.h"

#include "editor/IGraphics.h"

namespace {

IRECT ImageArea(int x, int y, const IBitmap* bitmap) {
    if (!bitmap || !bitmap->mData) return IRECT();
    return IRECT(x, y, x + bitmap->W, y + bitmap->H);
}

} // namespace

IKnobRotaterControl::IKnobRotaterControl(IPlugBase* plug, int x, int y, int paramIdx,
                                         const IBitmap* bitmap, double minAngle, double maxAngle,
                                         int yOffset, EDirection direction, double gearing)
    : IKnobControl(plug, ImageArea(x, y, bitmap), paramIdx, direction, gearing),
      mBitmap(bitmap ? *bitmap : IBitmap()), mMinAngle(minAngle), mMaxAngle(maxAngle),
      mYOffset(yOffset) {}

bool IKnobRotaterControl::Draw(IGraphics* graphics) {
    const int cx = (mRECT.L + mRECT.R) / 2;
    const int cy = (mRECT.T + mRECT.B) / 2;
    const double angle = mMinAngle + (mMaxAngle - mMinAngle) * mValue;
    return graphics->DrawRotatedBitmap(&mBitmap, cx, cy, angle, mYOffset, &mBlend);
}
