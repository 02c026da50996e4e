#pragma once

#include "editor/IColor.h"
#include "plugin/FixedText.h"

class LICE_IFont;

// How text is drawn: face, line height in pixels, colour (alpha below 255 makes it translucent),
// style, alignment, angle and smoothing. mCached is the shared rendered font for this style,
// filled by the font cache on first use and owned by it; copying a style copies the pointer.
struct IText {
    enum EStyle { kStyleNormal = 0, kStyleBold = 1, kStyleItalic = 2 };
    enum EAlign { kAlignNear = 0, kAlignCenter = 1, kAlignFar = 2 };
    enum EQuality {
        kQualityDefault = 0,
        kQualityNonAntiAliased = 1,
        kQualityAntiAliased = 2,
        kQualityClearType = 3,
    };
    static constexpr int kFontNameSize = 32; // face names keep 31 characters

    char mFont[kFontNameSize] = {};
    int mSize;
    IColor mColor;
    int mStyle;
    int mAlign;
    int mOrientation; // degrees
    int mQuality;
    LICE_IFont* mCached = nullptr;

    // A null colour or face takes the default; a longer face name is cut to fit.
    explicit IText(int size = 10, const IColor* color = nullptr, const char* font = nullptr,
                   EStyle style = kStyleNormal, EAlign align = kAlignCenter, int orientation = 0,
                   EQuality quality = kQualityDefault)
        : mSize(size), mColor(color ? *color : DEFAULT_TEXT_COLOR), mStyle(style), mAlign(align),
          mOrientation(orientation), mQuality(quality) {
        CopyToField(mFont, font ? font : "Monaco");
    }
    explicit IText(const IColor* color) : IText(10, color) {}
};
