#pragma once

#include "editor/IControl.h"

// An area with nothing drawn that toggles its parameter between 0 and 1 on any press.
class IInvisibleSwitchControl : public IControl {
public:
    IInvisibleSwitchControl(IPlugBase* plug, IRECT rect, int paramIdx);

    void OnMouseDown(int x, int y, IMouseMod* mod) override;
    bool Draw(IGraphics* /*graphics*/) override { return true; }
};
