#include "editor/IControl.h"

#include "editor/IGraphics.h"
#include "plugin/IPlugBase.h"

#include <cmath>

IControl::IControl(IPlugBase* plug, IRECT rect, int paramIdx, IChannelBlend blend)
    : mPlug(plug), mRECT(rect), mTargetRECT(rect), mParamIdx(paramIdx), mBlend(blend) {}

void IControl::OnMouseDown(int /*x*/, int /*y*/, IMouseMod* mod) {
    if (mod && mod->R) PromptUserInput();
}

void IControl::OnMouseDblClick(int /*x*/, int /*y*/, IMouseMod* /*mod*/) {
    const double defaultValue = mDefaultValue;
    if (!(defaultValue >= 0.0)) return;
    mValue = defaultValue;
    SetDirty(true);
}

void IControl::OnMouseWheel(int /*x*/, int /*y*/, IMouseMod* mod, int d) {
    const bool fine = mod && (mod->C || mod->S);
    mValue += d * (fine ? 0.001 : 0.01);
    SetDirty(true);
}

void IControl::SetValueFromPlug(double value) {
    if (mDefaultValue < 0.0) mDefaultValue = mValue = value;
    if (mValue == value) return;
    mValue = value;
    SetDirty(false);
    mRedraw = true;
}

void IControl::Hide(bool hide) {
    mHide = hide;
    mRedraw = true;
    SetDirty(false);
}

void IControl::GrayOut(bool gray) {
    mGrayed = gray;
    mBlend.mWeight = gray ? 0.25f : 1.0f;
    SetDirty(false);
}

void IControl::SetDirty(bool pushParamToPlug) {
    const double lo = mClampLo;
    const double hi = mClampHi;
    double value = mValue;
    if (!std::isfinite(value) || value < lo)
        value = lo;
    else if (value > hi)
        value = hi;
    mValue = value;
    mDirty = true;
    if (pushParamToPlug && mPlug && mParamIdx >= 0) mPlug->SetParameterFromGUI(mParamIdx, value);
}

void IControl::SetClean() {
    mDirty = mRedraw.Load();
    mRedraw = false;
}

void IControl::SetValueFromUserInput(double value) {
    if (mValue == value) return;
    mValue = value;
    SetDirty(true);
    mRedraw = true;
}

void IControl::Clamp(double lo, double hi) {
    mClampLo = lo;
    mClampHi = hi;
}

void IControl::PromptUserInput() {
    if (mParamIdx < 0 || mDisablePrompt || !mPlug) return;
    IParam* param = mPlug->GetParam(mParamIdx);
    if (!param || !mPlug->GetGUI()) return;
    if (param->GetNDisplayTexts() > 0) {
        mPlug->GetGUI()->PromptUserInput(this, param, &mRECT);
    } else {
        const int cx = static_cast<int>(static_cast<float>(mRECT.L + mRECT.R) * 0.5f);
        const int cy = static_cast<int>(static_cast<float>(mRECT.T + mRECT.B) * 0.5f);
        IRECT box(cx - 15, cy - 8, cx + 15, cy + 8);
        mPlug->GetGUI()->PromptUserInput(this, param, &box);
    }
    mRedraw = true;
}

void IControl::PromptUserInput(IRECT* textRect) {
    if (mParamIdx < 0 || mDisablePrompt || !mPlug) return;
    IParam* param = mPlug->GetParam(mParamIdx);
    if (!param || !mPlug->GetGUI()) return;
    mPlug->GetGUI()->PromptUserInput(this, param, textRect);
    mRedraw = true;
}
