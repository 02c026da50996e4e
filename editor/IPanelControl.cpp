#include "editor/IPanelControl.h"

#include "editor/IGraphics.h"

IPanelControl::IPanelControl(IPlugBase* plug, IRECT rect, const IColor* color)
    : IControl(plug, rect, -1, IChannelBlend(IChannelBlend::kBlendNormal, 1.0f)),
      mColor(color ? *color : COLOR_BLACK) {}

bool IPanelControl::Draw(IGraphics* graphics) {
    return graphics->FillIRect(&mColor, &mRECT, &mBlend);
}
