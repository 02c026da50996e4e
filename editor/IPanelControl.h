#pragma once

#include "editor/IColor.h"
#include "editor/IControl.h"

// A rectangle of one colour, blended normally; bound to no parameter.
class IPanelControl : public IControl {
public:
    IPanelControl(IPlugBase* plug, IRECT rect, const IColor* color);

    bool Draw(IGraphics* graphics) override;

protected:
    IColor mColor;
};
