#include "editor/IGraphics.h"

#include "editor/IControl.h"
#include "plugin/IPlugBase.h"
#include "raster/LICE_MemBitmap.h"
#include "raster/LICE_SysBitmap.h"

namespace {

constexpr int kDefaultFPS = 25;

WDL_Mutex* mutexOf(IPlugBase* plug) {
    return plug ? plug->GetMutex() : nullptr;
}

} // namespace

IGraphics::IGraphics(IPlugBase* plug, int w, int h, int refreshFPS)
    : mPlug(plug), mWidth(w), mHeight(h), mFPS(refreshFPS > 0 ? refreshFPS : kDefaultFPS) {}

IGraphics::~IGraphics() {
    delete mKeyCatcher;
    WDL_DeleteAll(mControls);
    delete mDrawBitmap;
    delete mTmpBitmap;
}

void IGraphics::Resize(int w, int h) {
    // Neither the end of an open entry nor a later mouse-out may reach a deleted control.
    ForceEndUserEdit();
    mMouseOver = -1;
    mWidth = w;
    mHeight = h;
    ReleaseMouseCapture();
    {
        WDL_MutexLock lock(mutexOf(mPlug));
        WDL_DeleteAll(mControls);
    }
    if (mPlug) mPlug->ResizeGraphics(w, h);
}

void IGraphics::PrepDraw() {
    delete mDrawBitmap;
    delete mTmpBitmap;
    mDrawBitmap = new LICE_SysBitmap(mWidth, mHeight);
    mTmpBitmap = new LICE_MemBitmap(0, 0, 4);
}

int IGraphics::AttachControl(IControl* control) {
    if (!control) return -1;
    WDL_MutexLock lock(mutexOf(mPlug));
    if (!mControls.Add(control)) {
        delete control;
        return -1;
    }
    return mControls.GetSize() - 1;
}

void IGraphics::AttachKeyCatcher(IControl* control) {
    if (control == mKeyCatcher) return;
    delete mKeyCatcher;
    mKeyCatcher = control;
}

unsigned int* IGraphics::GetBits() {
    return mDrawBitmap ? mDrawBitmap->getBits() : nullptr;
}

// ---- Redraw cycle ----

bool IGraphics::IsDirty(IRECT* rect) {
    if (!rect) return false;
    bool dirty = false;
    IControl** controls = mControls.GetList();
    for (int i = 0, n = NControls(); i < n; ++i) {
        if (!controls[i]->IsDirty()) continue;
        *rect = rect->Union(controls[i]->GetRECT());
        dirty = true;
    }
    return dirty;
}

bool IGraphics::Draw(IRECT* rect) {
    if (NControls() == 0) return true;
    if (!rect) return false;
    if (mStrict) {
        DrawStrict(*rect);
    } else if (mControls.Get(0)->IsDirty()) {
        DrawAroundDirtyBackground();
    } else {
        DrawDirtyControls();
    }
    return DrawScreen(rect);
}

void IGraphics::DrawStrict(const IRECT& rect) {
    mDrawRECT = rect;
    IControl** controls = mControls.GetList();
    const int n = NControls();
    for (int i = 0; i < n; ++i) {
        if (!controls[i]->IsHidden() && rect.Intersects(controls[i]->GetRECT()))
            controls[i]->Draw(this);
    }
    for (int i = 0; i < n; ++i)
        controls[i]->SetClean();
}

void IGraphics::DrawAroundDirtyBackground() {
    IControl** controls = mControls.GetList();
    mDrawRECT = controls[0]->GetRECT();
    for (int i = 0, n = NControls(); i < n; ++i) {
        if (i > 0 && controls[i]->IsHidden()) continue;
        controls[i]->Draw(this);
        controls[i]->SetClean();
    }
}

// Each dirty control's area is redrawn with everything that meets it, in list order, so that
// stacking holds.
void IGraphics::DrawDirtyControls() {
    IControl** controls = mControls.GetList();
    const int n = NControls();
    for (int i = 1; i < n; ++i) {
        if (!controls[i]->IsDirty()) continue;
        mDrawRECT = controls[i]->GetRECT();
        for (int j = 0; j < n; ++j) {
            if (controls[j]->IsHidden()) continue;
            if (j == i || controls[j]->GetRECT().Intersects(mDrawRECT)) controls[j]->Draw(this);
        }
        controls[i]->SetClean();
    }
}

void IGraphics::SetAllControlsDirty() {
    for (int i = 0, n = NControls(); i < n; ++i)
        mControls.Get(i)->SetDirty(false);
}

void IGraphics::SetStrictDrawing(bool strict) {
    mStrict = strict;
    SetAllControlsDirty();
}

void IGraphics::GrayOutControl(int paramIdx, bool gray) {
    for (int i = 0, n = NControls(); i < n; ++i) {
        IControl* control = mControls.Get(i);
        if (control->ParamIdx() == paramIdx) control->GrayOut(gray);
    }
}

void IGraphics::HideControl(int paramIdx, bool hide) {
    for (int i = 0, n = NControls(); i < n; ++i) {
        IControl* control = mControls.Get(i);
        if (control->ParamIdx() == paramIdx) control->Hide(hide);
    }
}

// ---- Values between controls and parameters ----

IParam* IGraphics::ParamAt(int paramIdx) const {
    return mPlug ? mPlug->GetParam(paramIdx) : nullptr;
}

void IGraphics::SetParameterFromPlug(int paramIdx, double value, bool normalized) {
    const IParam* param = ParamAt(paramIdx);
    if (!param) return;
    if (!normalized) value = param->GetNormalized(value);
    IControl** controls = mControls.GetList();
    for (int i = 0, n = NControls(); i < n; ++i) {
        if (controls[i]->ParamIdx() == paramIdx) controls[i]->SetValueFromPlug(value);
    }
}

void IGraphics::SetControlFromPlug(int controlIdx, double normalizedValue) {
    IControl* control = mControls.Get(controlIdx);
    if (control) control->SetValueFromPlug(normalizedValue);
}

void IGraphics::ClampControl(int paramIdx, double lo, double hi, bool normalized) {
    const IParam* param = ParamAt(paramIdx);
    if (!param) return;
    if (!normalized) {
        lo = param->GetNormalized(lo);
        hi = param->GetNormalized(hi);
    }
    for (int i = 0, n = NControls(); i < n; ++i) {
        IControl* control = mControls.Get(i);
        if (control->ParamIdx() == paramIdx) control->Clamp(lo, hi);
    }
}

void IGraphics::SetParameterFromGUI(int paramIdx, double normalizedValue) {
    for (int i = 0, n = NControls(); i < n; ++i) {
        IControl* control = mControls.Get(i);
        if (control->ParamIdx() == paramIdx) control->SetValueFromUserInput(normalizedValue);
    }
}

void IGraphics::OnGUIIdle() {
    for (int i = 0, n = NControls(); i < n; ++i)
        mControls.Get(i)->OnGUIIdle();
}
