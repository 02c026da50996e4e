#include "editor/IRadioButtonsControl.h"

#include "editor/IGraphics.h"

#include <cmath>

namespace {

constexpr int kOffFrame = 1;
constexpr int kOnFrame = 2;

} // namespace

IRadioButtonsControl::IRadioButtonsControl(IPlugBase* plug, IRECT rect, int paramIdx, int nButtons,
                                           const IBitmap* bitmap, EDirection direction)
    : IControl(plug, rect, paramIdx), mBitmap(bitmap ? *bitmap : IBitmap()) {
    const int n = nButtons > 0 ? nButtons : 0;
    IRECT* buttons = mRECTs.Resize(n);
    if (!buttons) return;
    const int w = mBitmap.W;
    const int h = static_cast<int>(static_cast<double>(mBitmap.H) / mBitmap.N);
    // The spare space goes between the buttons; a single button has none to share.
    const int spaces = n > 1 ? n - 1 : 1;
    for (int i = 0; i < n; ++i) {
        if (direction == kVertical) {
            const int step = (rect.H() - h * n) / spaces + h;
            buttons[i] = IRECT(rect.L, rect.T + i * step, rect.L + w, rect.T + i * step + h);
        } else {
            const int gap = (rect.W() - w * n) / spaces;
            const int x = rect.L + i * (gap + w);
            buttons[i] = IRECT(x, rect.T, x + w, rect.T + h);
        }
    }
}

IRECT IRadioButtonsControl::GetButtonRECT(int i) const {
    return i >= 0 && i < NButtons() ? mRECTs.Get()[i] : IRECT();
}

void IRadioButtonsControl::OnMouseDown(int x, int y, IMouseMod* mod) {
    if (mod && mod->R) {
        PromptUserInput();
        return;
    }
    const int n = NButtons();
    for (int i = 0; i < n; ++i) {
        if (!mRECTs.Get()[i].Contains(x, y)) continue;
        mValue = n > 1 ? static_cast<double>(i) / (n - 1) : 0.0;
        break;
    }
    SetDirty(true);
}

bool IRadioButtonsControl::Draw(IGraphics* graphics) {
    const int n = NButtons();
    if (n == 0) return true;
    const double value = mValue;
    int active = std::isfinite(value) ? static_cast<int>(std::trunc(0.5 + value * (n - 1))) : 0;
    if (active < 0) active = 0;
    if (active > n - 1) active = n - 1;
    bool drawn = true;
    for (int i = 0; i < n; ++i)
        drawn &= graphics->DrawBitmap(&mBitmap, &mRECTs.Get()[i],
                                      i == active ? kOnFrame : kOffFrame, &mBlend);
    return drawn;
}
