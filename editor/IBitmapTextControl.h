#pragma once

#include "containers/WDL_String.h"
#include "editor/IBitmap.h"
#include "editor/IControl.h"

class IGraphics;

// Draws text with an image font: frame k of the font image shows the character of code k + 31
// (frame 1 is the space), each charWidth x charHeight. The text starts one character in from the
// left (centred texts are centred instead), vertically centred when asked, and what does not fit
// a line continues on the next one. Characters below the space show the first frame. A character
// width of 0 or less, or no room for a character between the margins, draws nothing.
bool DrawBitmapedText(IGraphics* graphics, IBitmap* textBitmap, IRECT* rect, IText* text,
                      IChannelBlend* blend, const char* str, bool vCenter, bool multiline,
                      int charWidth, int charHeight);

// A line of text drawn with an image font; bound to no parameter.
class IBitmapTextControl : public IControl {
public:
    IBitmapTextControl(IPlugBase* plug, IRECT rect, const IBitmap* textBitmap, const char* str = "",
                       const IText* text = nullptr, int charWidth = 6, int charHeight = 12);

    bool Draw(IGraphics* graphics) override;
    // Any change of text marks the control for drawing.
    void SetTextFromPlug(const char* str);

protected:
    WDL_String mStr{nullptr};
    int mCharWidth, mCharHeight; // pixels of one character of the font image
    IBitmap mTextBitmap;
};
