#pragma once

#include "editor/ITextControl.h"

// The bound parameter's value as its display text, followed by its unit label when asked; a click
// (left or right) or a double click prompts for a new value. Bound to no existing parameter it
// draws nothing.
class ICaptionControl : public ITextControl {
public:
    ICaptionControl(IPlugBase* plug, IRECT rect, int paramIdx, const IText* text,
                    bool showParamLabel = true);

    void OnMouseDown(int x, int y, IMouseMod* mod) override;
    void OnMouseDblClick(int x, int y, IMouseMod* mod) override;
    bool Draw(IGraphics* graphics) override;

protected:
    bool mShowParamLabel;
};
