#include "editor/ITextControl.h"

#include "editor/IGraphics.h"

#include <cstring>

ITextControl::ITextControl(IPlugBase* plug, IRECT rect, const IText* text, const char* str)
    : IControl(plug, rect) {
    if (text) mText = *text;
    mStr.Set(str ? str : "");
}

bool ITextControl::Draw(IGraphics* graphics) {
    if (!*mStr.Get()) return true;
    return graphics->DrawIText(&mText, mStr.Get(), &mRECT);
}

void ITextControl::SetTextFromPlug(const char* str) {
    if (!str) str = "";
    if (strcmp(str, mStr.Get()) == 0) return;
    SetDirty(false);
    mStr.Set(str);
}
