#include "editor/ISwitchControl.h"

namespace {

// Steps accumulate rounding, so the last frame may sit a hair above 1.
constexpr double kWrapAbove = 1.001;

} // namespace

void ISwitchControl::OnMouseDown(int /*x*/, int /*y*/, IMouseMod* mod) {
    if (mod && mod->R) {
        PromptUserInput();
    } else {
        mValue += mBitmap.N >= 2 ? 1.0 / (mBitmap.N - 1) : 1.0;
    }
    if (mValue > kWrapAbove) mValue = 0.0;
    SetDirty(true);
}

void ISwitchControl::OnMouseDblClick(int x, int y, IMouseMod* mod) {
    OnMouseDown(x, y, mod);
}

void IContactControl::OnMouseUp(int /*x*/, int /*y*/, IMouseMod* /*mod*/) {
    mValue = 0.0;
    SetDirty(true);
}
