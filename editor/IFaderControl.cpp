#include "editor/IFaderControl.h"

#include "editor/IGraphics.h"
#include "raster/LICE_Pixel.h"

namespace {

IRECT TrackArea(int x, int y, int len, const IBitmap& handle, EDirection direction) {
    if (direction == kVertical) return IRECT(x, y, x + handle.W, y + len);
    return IRECT(x, y, x + len, y + handle.H);
}

} // namespace

IFaderControl::IFaderControl(IPlugBase* plug, int x, int y, int len, int paramIdx,
                             const IBitmap* bitmap, EDirection direction)
    : IControl(plug, TrackArea(x, y, len, bitmap ? *bitmap : IBitmap(), direction), paramIdx),
      mLen(len), mBitmap(bitmap ? *bitmap : IBitmap()), mDirection(direction) {
    mHandleHeadroom = direction == kVertical ? mBitmap.H : mBitmap.W;
}

void IFaderControl::OnMouseDown(int x, int y, IMouseMod* mod) {
    if (mod && mod->R) {
        PromptUserInput();
        return;
    }
    SnapToMouse(x, y);
}

void IFaderControl::OnMouseDrag(int x, int y, int /*dX*/, int /*dY*/, IMouseMod* /*mod*/) {
    SnapToMouse(x, y);
}

IRECT IFaderControl::GetHandleRECT(double value) const {
    if (value < 0.0) value = mValue;
    const double travel = mLen - mHandleHeadroom;
    IRECT r(mRECT.L, mRECT.T, mRECT.L + mBitmap.W, mRECT.T + mBitmap.H);
    const int offset =
        LICE_DoubleToIntSat(travel * (mDirection == kVertical ? 1.0 - value : value));
    if (mDirection == kVertical) {
        r.T += offset;
        r.B += offset;
    } else {
        r.L += offset;
        r.R += offset;
    }
    return r;
}

void IFaderControl::SnapToMouse(int x, int y) {
    const int half = mHandleHeadroom / 2;
    const int travel = mLen - mHandleHeadroom;
    if (travel <= 0) {
        mValue = 0.0;
    } else if (mDirection == kVertical) {
        mValue = 1.0 - static_cast<double>(y - mRECT.T - half) / travel;
    } else {
        mValue = static_cast<double>(x - mRECT.L - half) / travel;
    }
    SetDirty(true);
}

bool IFaderControl::Draw(IGraphics* graphics) {
    IRECT handle = GetHandleRECT(mValue);
    return graphics->DrawBitmap(&mBitmap, &handle, 1, &mBlend);
}
