#include "editor/IInvisibleSwitchControl.h"

IInvisibleSwitchControl::IInvisibleSwitchControl(IPlugBase* plug, IRECT rect, int paramIdx)
    : IControl(plug, rect, paramIdx, IChannelBlend(IChannelBlend::kBlendOverwrite)) {}

void IInvisibleSwitchControl::OnMouseDown(int /*x*/, int /*y*/, IMouseMod* /*mod*/) {
    mValue = mValue < 0.5 ? 1.0 : 0.0;
    SetDirty(true);
}
