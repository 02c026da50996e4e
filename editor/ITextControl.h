#pragma once

#include "containers/WDL_String.h"
#include "editor/IControl.h"

// A line of text in the control's style, drawn from the top of its area; bound to no parameter.
class ITextControl : public IControl {
public:
    ITextControl(IPlugBase* plug, IRECT rect, const IText* text, const char* str = "");

    bool Draw(IGraphics* graphics) override;
    // Any change of text marks the control for drawing.
    void SetTextFromPlug(const char* str);
    const char* GetTextString() const { return mStr.Get(); }

protected:
    WDL_String mStr{nullptr};
};
