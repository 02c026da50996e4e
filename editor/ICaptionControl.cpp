#include "editor/ICaptionControl.h"

#include "plugin/IParam.h"
#include "plugin/IPlugBase.h"

ICaptionControl::ICaptionControl(IPlugBase* plug, IRECT rect, int paramIdx, const IText* text,
                                 bool showParamLabel)
    : ITextControl(plug, rect, text, ""), mShowParamLabel(showParamLabel) {
    mParamIdx = paramIdx;
}

void ICaptionControl::OnMouseDown(int /*x*/, int /*y*/, IMouseMod* mod) {
    if (mod && (mod->L || mod->R)) PromptUserInput();
}

void ICaptionControl::OnMouseDblClick(int /*x*/, int /*y*/, IMouseMod* /*mod*/) {
    PromptUserInput();
}

bool ICaptionControl::Draw(IGraphics* graphics) {
    const IParam* param = mPlug ? mPlug->GetParam(mParamIdx) : nullptr;
    if (!param) return true;
    char display[IParam::kDisplaySize];
    param->GetDisplayForHost(param->mValue, false, display, true);
    mStr.Set(display);
    if (mShowParamLabel) {
        mStr.Append(" ");
        mStr.Append(param->GetLabelForHost());
    }
    return ITextControl::Draw(graphics);
}
