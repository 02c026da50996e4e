#pragma once

#include "editor/EDirection.h"
#include "editor/IBitmap.h"
#include "editor/IControl.h"

// A handle image that slides along a track of mLen pixels and follows the pointer absolutely:
// vertical faders read 1 at the top, horizontal ones 1 at the right.
class IFaderControl : public IControl {
public:
    IFaderControl(IPlugBase* plug, int x, int y, int len, int paramIdx, const IBitmap* bitmap,
                  EDirection direction = kVertical);

    void OnMouseDown(int x, int y, IMouseMod* mod) override;
    void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override;
    bool Draw(IGraphics* graphics) override;

    // Where the handle sits for a value; a negative value means the current one.
    IRECT GetHandleRECT(double value = -1.0) const;
    // Puts the handle's middle under the pointer. A track no longer than the handle has no
    // travel and reads 0.
    void SnapToMouse(int x, int y);

protected:
    int mLen;            // pixels of track, handle included
    int mHandleHeadroom; // the handle's size along the track
    IBitmap mBitmap;
    EDirection mDirection;
};
