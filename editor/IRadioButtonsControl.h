#pragma once

#include "containers/WDL_TypedBuf.h"
#include "editor/EDirection.h"
#include "editor/IBitmap.h"
#include "editor/IControl.h"

// A row or column of buttons sharing one parameter, spread evenly over the area with the first at
// its top-left; each shows frame 1 (off) or 2 (on) of a two-frame image. Pressing button i of n
// sets i / (n - 1); a group of one button always reads 0.
class IRadioButtonsControl : public IControl {
public:
    IRadioButtonsControl(IPlugBase* plug, IRECT rect, int paramIdx, int nButtons,
                         const IBitmap* bitmap, EDirection direction = kVertical);

    void OnMouseDown(int x, int y, IMouseMod* mod) override;
    bool Draw(IGraphics* graphics) override;

    int NButtons() const { return mRECTs.GetSize(); }
    // Button i's area; an empty one outside the group.
    IRECT GetButtonRECT(int i) const;

protected:
    WDL_TypedBuf<IRECT> mRECTs{4096};
    IBitmap mBitmap;
};
