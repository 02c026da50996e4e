// Mouse and key routing of the graphics context.
#include "editor/IControl.h"
#include "editor/IGraphics.h"
#include "plugin/IPlugBase.h"

namespace {

// The host brackets a user's gesture on a parameter; unbound controls have none. The index is
// read before the control handles the event, which may end with the control gone (a resize).
void beginGesture(IPlugBase* plug, int paramIdx) {
    if (plug && paramIdx >= 0) plug->BeginInformHostOfParamChange(paramIdx);
}

void endGesture(IPlugBase* plug, int paramIdx) {
    if (plug && paramIdx >= 0) plug->EndInformHostOfParamChange(paramIdx);
}

} // namespace

int IGraphics::GetMouseControlIdx(int x, int y, bool mouseOver) {
    if (mMouseCapture >= 0) return mMouseCapture;
    for (int i = NControls() - 1; i >= 0; --i) {
        IControl* control = mControls.Get(i);
        if (control->IsHidden()) continue;
        if (control->IsGrayed() && !(mouseOver && control->GetMOWhenGrayed())) continue;
        if (control->IsHit(x, y)) return i;
    }
    return -1;
}

void IGraphics::ReleaseMouseCapture() {
    mMouseCapture = mMouseX = mMouseY = -1;
}

void IGraphics::OnMouseDown(int x, int y, IMouseMod* mod) {
    ReleaseMouseCapture();
    const int c = GetMouseControlIdx(x, y);
    IControl* control = mControls.Get(c);
    if (!control) return;
    mMouseCapture = c;
    mMouseX = x;
    mMouseY = y;
    const int paramIdx = control->ParamIdx();
    control->OnMouseDown(x, y, mod);
    beginGesture(mPlug, paramIdx);
}

void IGraphics::OnMouseUp(int x, int y, IMouseMod* mod) {
    const int c = GetMouseControlIdx(x, y);
    ReleaseMouseCapture();
    IControl* control = mControls.Get(c);
    if (!control) return;
    const int paramIdx = control->ParamIdx();
    control->OnMouseUp(x, y, mod);
    endGesture(mPlug, paramIdx);
}

void IGraphics::OnMouseDrag(int x, int y, IMouseMod* mod) {
    IControl* control = mControls.Get(mMouseCapture);
    if (!control) return;
    const int dX = x - mMouseX;
    const int dY = y - mMouseY;
    if (dX == 0 && dY == 0) return;
    mMouseX = x;
    mMouseY = y;
    control->OnMouseDrag(x, y, dX, dY, mod);
}

bool IGraphics::OnMouseDblClick(int x, int y, IMouseMod* mod) {
    ReleaseMouseCapture();
    const int c = GetMouseControlIdx(x, y);
    IControl* control = mControls.Get(c);
    if (!control) return false;
    if (!control->GetDblAsSingleClick()) {
        control->OnMouseDblClick(x, y, mod);
        return false;
    }
    mMouseCapture = c;
    mMouseX = x;
    mMouseY = y;
    control->OnMouseDown(x, y, mod);
    return true;
}

void IGraphics::OnMouseWheel(int x, int y, IMouseMod* mod, int d) {
    IControl* control = mControls.Get(GetMouseControlIdx(x, y));
    if (control) control->OnMouseWheel(x, y, mod, d);
}

bool IGraphics::OnMouseOver(int x, int y, IMouseMod* mod) {
    if (!mHandleMouseOver) return false;
    const int c = GetMouseControlIdx(x, y, true);
    IControl* control = mControls.Get(c);
    if (!control) return true;
    mMouseX = x;
    mMouseY = y;
    control->OnMouseOver(x, y, mod);
    IControl* previous = mControls.Get(mMouseOver);
    if (previous && mMouseOver != c) previous->OnMouseOut();
    mMouseOver = c;
    return true;
}

void IGraphics::OnMouseOut() {
    for (int i = 0, n = NControls(); i < n; ++i)
        mControls.Get(i)->OnMouseOut();
    mMouseOver = -1;
}

bool IGraphics::OnKeyDown(int x, int y, int key) {
    const int c = GetMouseControlIdx(x, y);
    if (c > 0) {
        IControl* control = mControls.Get(c);
        return control && control->OnKeyDown(x, y, key);
    }
    return mKeyCatcher && mKeyCatcher->OnKeyDown(x, y, key);
}

int IGraphics::GetParamIdxForPTAutomation(int x, int y) {
    const int c = GetMouseControlIdx(x, y, false);
    mLastClickedParam = c > 0 ? mControls.Get(c)->ParamIdx() : -1;
    return mLastClickedParam;
}

int IGraphics::GetLastClickedParamForPTAutomation() {
    const int param = mLastClickedParam;
    mLastClickedParam = -1;
    return param;
}
