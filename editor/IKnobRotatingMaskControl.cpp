#include "editor/IKnobRotatingMaskControl.h"

#include "editor/IGraphics.h"

namespace {

IRECT ImageArea(int x, int y, const IBitmap* bitmap) {
    if (!bitmap || !bitmap->mData) return IRECT();
    return IRECT(x, y, x + bitmap->W, y + bitmap->H);
}

IBitmap HandleOf(const IBitmap* bitmap) {
    return bitmap ? *bitmap : IBitmap();
}

} // namespace

IKnobRotatingMaskControl::IKnobRotatingMaskControl(IPlugBase* plug, int x, int y, int paramIdx,
                                                   const IBitmap* base, const IBitmap* mask,
                                                   const IBitmap* top, double minAngle,
                                                   double maxAngle, EDirection direction,
                                                   double gearing)
    : IKnobControl(plug, ImageArea(x, y, base), paramIdx, direction, gearing),
      mBase(HandleOf(base)), mMask(HandleOf(mask)), mTop(HandleOf(top)), mMinAngle(minAngle),
      mMaxAngle(maxAngle) {}

bool IKnobRotatingMaskControl::Draw(IGraphics* graphics) {
    const double angle = mMinAngle + (mMaxAngle - mMinAngle) * mValue;
    return graphics->DrawRotatedMask(&mBase, &mMask, &mTop, mRECT.L, mRECT.T, angle, &mBlend);
}
