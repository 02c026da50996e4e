#include "editor/IBitmapTextControl.h"

#include "editor/IGraphics.h"

#include <cstring>

namespace {

// Frame 1 of a font image shows the space.
constexpr int kFirstCode = 31;

} // namespace

bool DrawBitmapedText(IGraphics* graphics, IBitmap* textBitmap, IRECT* rect, IText* text,
                      IChannelBlend* blend, const char* str, bool vCenter, bool multiline,
                      int charWidth, int charHeight) {
    if (!graphics || !textBitmap || !rect || !str || !*str) return true;
    const int avail = rect->W() - 2 * charWidth;
    if (charWidth <= 0 || avail <= 0) return true;
    const long long len = static_cast<long long>(strlen(str));
    const long long textWidth = len * charWidth;

    int y = rect->T;
    if (vCenter) y += (rect->B - charHeight - rect->T) / 2;
    const bool centred = text && text->mAlign == IText::kAlignCenter;
    const long long xOffset = centred ? (rect->R - textWidth - rect->L) / 2 : charWidth;

    long long lines = 1;
    long long perLine = avail / charWidth;
    if (multiline) {
        if (textWidth > avail) {
            lines = textWidth / avail;
        } else {
            perLine = len;
        }
    }

    const char* next = str;
    // One pass more than the lines counted, so that a remainder still has a line to go on.
    for (long long line = 0; line <= lines; ++line, y += charHeight) {
        long long x = rect->L + xOffset;
        for (long long k = 0; k < perLine; ++k, x += charWidth) {
            const signed char c = static_cast<signed char>(*next++);
            if (c == 0) return true;
            const int left = static_cast<int>(x);
            IRECT cell(left, y, left + charWidth, y + charHeight);
            graphics->DrawBitmap(textBitmap, &cell, c - kFirstCode, blend);
        }
    }
    return true;
}

IBitmapTextControl::IBitmapTextControl(IPlugBase* plug, IRECT rect, const IBitmap* textBitmap,
                                       const char* str, const IText* text, int charWidth,
                                       int charHeight)
    : IControl(plug, rect), mCharWidth(charWidth), mCharHeight(charHeight),
      mTextBitmap(textBitmap ? *textBitmap : IBitmap()) {
    if (text) mText = *text;
    mStr.Set(str ? str : "");
}

bool IBitmapTextControl::Draw(IGraphics* graphics) {
    if (!*mStr.Get()) return true;
    DrawBitmapedText(graphics, &mTextBitmap, &mRECT, &mText, &mBlend, mStr.Get(), true, false,
                     mCharWidth, mCharHeight);
    return true;
}

void IBitmapTextControl::SetTextFromPlug(const char* str) {
    if (!str) str = "";
    if (strcmp(str, mStr.Get()) == 0) return;
    SetDirty(false);
    mStr.Set(str);
}
