#pragma once

#include "editor/IBitmapControl.h"

// A switch that shows one frame per position: each click steps to the next frame, and past the
// last back to the first (a one-frame image alternates 0 and 1). A double click steps too.
class ISwitchControl : public IBitmapControl {
public:
    using IBitmapControl::IBitmapControl;

    void OnMouseDown(int x, int y, IMouseMod* mod) override;
    void OnMouseDblClick(int x, int y, IMouseMod* mod) override;
};

// A momentary button: pressed like a switch, back to 0 when the mouse is released.
class IContactControl : public ISwitchControl {
public:
    using ISwitchControl::ISwitchControl;

    void OnMouseUp(int x, int y, IMouseMod* mod) override;
};
