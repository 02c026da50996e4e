#include "gdi/SWELL_Text.h"

#include "containers/WDL_TypedBuf.h"
#include "gdi/SWELL_FontFace.h"
#include "gdi/SWELL_Records.h"
#include "gdi/SWELL_TextDecoding.h"

#include <math.h>
#include <new>
#include <stdlib.h>
#include <string.h>

namespace {

const int kMaxTextLength = 4095;
const double kItalicObliqueness = 0.33;
const uint32_t kEllipsis = 0x2026;

double PointSizeFor(int height, int width) {
    long long s =
        height != 0 ? llabs(static_cast<long long>(height)) : llabs(static_cast<long long>(width));
    return s >= 2 && s <= 8192 ? s * 0.95 : 9.5;
}

// Used by contexts without a font: the default face at 10 points, made once and kept.
SWELL_FontAttributes* DefaultAttributes() {
    static SWELL_FontAttributes* attributes = [] {
        SWELL_FontAttributes* a = new (std::nothrow) SWELL_FontAttributes();
        if (a) a->font = SWELL_FontFace::Create("", 10);
        return a;
    }();
    return attributes;
}

SWELL_FontFace* SystemFont() {
    SWELL_FontAttributes* a = DefaultAttributes();
    return a ? a->font : nullptr;
}

SWELL_FontAttributes* SelectedAttributes(HDC ctx, unsigned char* quality) {
    HGDIOBJ font = ctx->font;
    if (SWELL_IsObjectOfType(font, HGDIOBJ__::kFont) && font->attributes &&
        font->attributes->font) {
        *quality = font->quality;
        return font->attributes;
    }
    *quality = DEFAULT_QUALITY;
    return DefaultAttributes();
}

// Face names reach fontconfig as UTF-8.
void FaceNameAsUTF8(const char* name, char* out, int outSize) {
    int n = 0;
    uint32_t codePoints[LF_FACESIZE * 4];
    int length = name ? static_cast<int>(strnlen(name, LF_FACESIZE * 4)) : 0;
    int count = SWELL_DecodeText(name ? name : "", length, codePoints);
    for (int i = 0; i < count; ++i) {
        uint32_t c = codePoints[i];
        char bytes[4];
        int size = 0;
        if (c < 0x80) {
            bytes[size++] = static_cast<char>(c);
        } else if (c < 0x800) {
            bytes[size++] = static_cast<char>(0xc0 | (c >> 6));
            bytes[size++] = static_cast<char>(0x80 | (c & 0x3f));
        } else if (c < 0x10000) {
            bytes[size++] = static_cast<char>(0xe0 | (c >> 12));
            bytes[size++] = static_cast<char>(0x80 | ((c >> 6) & 0x3f));
            bytes[size++] = static_cast<char>(0x80 | (c & 0x3f));
        } else {
            bytes[size++] = static_cast<char>(0xf0 | (c >> 18));
            bytes[size++] = static_cast<char>(0x80 | ((c >> 12) & 0x3f));
            bytes[size++] = static_cast<char>(0x80 | ((c >> 6) & 0x3f));
            bytes[size++] = static_cast<char>(0x80 | (c & 0x3f));
        }
        if (n + size >= outSize) break;
        memcpy(out + n, bytes, static_cast<size_t>(size));
        n += size;
    }
    out[n] = 0;
}

} // namespace

HFONT CreateFont(int height, int width, int, int orientation, int weight, char italic,
                 char underline, char, char, char, char, char quality, char, const char* faceName) {
    HGDIOBJ obj = SWELL_NewObjectRecord();
    if (!obj) return nullptr;
    SWELL_FontAttributes* attributes = new (std::nothrow) SWELL_FontAttributes();
    if (!attributes) {
        SWELL_FreeObjectRecord(obj);
        return nullptr;
    }
    obj->type = HGDIOBJ__::kFont;
    obj->rotation = orientation / 10.0;
    obj->attributes = attributes;
    double p = PointSizeFor(height, width);
    char name[LF_FACESIZE * 16];
    FaceNameAsUTF8(faceName, name, sizeof(name));
    attributes->font = SWELL_FontFace::Create(name, p);
    attributes->italic = italic != 0;
    attributes->underline = underline != 0;
    if (weight >= FW_BOLD) attributes->strokeWidth = -static_cast<float>(fmin(p, 15) * 0.55);
    unsigned char q = static_cast<unsigned char>(quality);
    obj->quality = q == NONANTIALIASED_QUALITY || q == ANTIALIASED_QUALITY ? q : DEFAULT_QUALITY;
    return obj;
}

HFONT CreateFontIndirect(const LOGFONT* f) {
    if (!f) return nullptr;
    char name[LF_FACESIZE + 1];
    memcpy(name, f->lfFaceName, LF_FACESIZE);
    name[LF_FACESIZE] = 0;
    return CreateFont(f->lfHeight, f->lfWidth, f->lfEscapement, f->lfOrientation, f->lfWeight,
                      f->lfItalic, f->lfUnderline, f->lfStrikeOut, f->lfCharSet, f->lfOutPrecision,
                      f->lfClipPrecision, f->lfQuality, f->lfPitchAndFamily, name);
}

BOOL GetTextMetrics(HDC ctx, TEXTMETRIC* tm) {
    if (tm) *tm = {16, 12, 4, 3, 10};
    if (!SWELL_IsValidContext(ctx) || !tm) return 0;
    HGDIOBJ font = ctx->font;
    SWELL_FontFace* face =
        SWELL_IsObjectOfType(font, HGDIOBJ__::kFont) && font->attributes && font->attributes->font
            ? font->attributes->font
            : SystemFont();
    if (!face) return 0;
    double a = face->Ascender(), d = face->Descender(), c = face->CapHeight();
    tm->tmAscent = static_cast<int>(a + 0.5);
    tm->tmDescent = static_cast<int>(0.5 - d);
    tm->tmHeight = tm->tmAscent + tm->tmDescent;
    int leading = static_cast<int>(a - c + 0.5);
    tm->tmInternalLeading = leading > 0 ? leading : 0;
    tm->tmAveCharWidth = static_cast<int>(ceil(a - d) * 0.55);
    return 1;
}

namespace {

// One laid-out line: its glyphs in the shared arrays, where it starts and how wide it is.
struct TextLine {
    int start;
    int count;
    double width;
    double x;
};

// The text after the prefix and line rules, as code points split into lines, each line's
// glyphs and pen positions laid out with the face.
class TextLayout {
public:
    bool Build(SWELL_FontFace* face, const uint32_t* text, int n) {
        mFace = face;
        // One extra slot per line leaves room for an ellipsis.
        int lines = 1;
        for (int i = 0; i < n; ++i)
            lines += text[i] == '\n';
        if (!mText.Resize(n + lines, false) || !mGlyphs.Resize(n + lines, false) ||
            !mPositions.Resize(n + lines, false) || !mLines.Resize(lines, false))
            return false;
        int slot = 0, line = 0, begin = 0;
        for (int i = 0; i <= n; ++i) {
            if (i < n && text[i] != '\n') continue;
            TextLine& l = mLines.Get()[line++];
            l.start = slot;
            l.count = i - begin;
            memcpy(mText.Get() + slot, text + begin,
                   sizeof(uint32_t) * static_cast<size_t>(l.count));
            l.width = Lay(l);
            l.x = 0;
            slot += l.count + 1;
            begin = i + 1;
        }
        return true;
    }

    int LineCount() const { return mLines.GetSize(); }
    TextLine& Line(int i) { return mLines.Get()[i]; }
    const unsigned* Glyphs(const TextLine& l) const { return mGlyphs.Get() + l.start; }
    const double* Positions(const TextLine& l) const { return mPositions.Get() + l.start; }

    double Width() const {
        double w = 0;
        for (int i = 0; i < mLines.GetSize(); ++i)
            w = fmax(w, mLines.Get()[i].width);
        return w;
    }

    // Cuts a line wider than `room` back to what fits followed by an ellipsis.
    void Truncate(TextLine& l, double room) {
        if (l.width <= room + 1e-6 || l.count == 0) return;
        uint32_t ellipsis = kEllipsis;
        unsigned glyph;
        double position;
        double ellipsisWidth = mFace->LayoutRun(&ellipsis, 1, &glyph, &position);
        // positions[k] is where character k starts, so the first k characters end there.
        int keep = l.count - 1;
        const double* positions = mPositions.Get() + l.start;
        while (keep > 0 && positions[keep] + ellipsisWidth > room + 1e-6)
            --keep;
        mText.Get()[l.start + keep] = ellipsis;
        l.count = keep + 1;
        l.width = Lay(l);
    }

private:
    double Lay(const TextLine& l) {
        return mFace->LayoutRun(mText.Get() + l.start, l.count, mGlyphs.Get() + l.start,
                                mPositions.Get() + l.start);
    }

    SWELL_FontFace* mFace = nullptr;
    WDL_TypedBuf<uint32_t> mText;
    WDL_TypedBuf<unsigned> mGlyphs;
    WDL_TypedBuf<double> mPositions;
    WDL_TypedBuf<TextLine> mLines;
};

// The text as drawn: carriage returns dropped, '&' dropped unless kept, line feeds turned
// into spaces on a single line; at most 4095 characters. Returns the number of bytes.
int PrepareText(const char* text, int len, int flags, char* out) {
    int n = 0;
    bool cut = false;
    for (int i = 0; len < 0 || i < len; ++i) {
        char c = text[i];
        if (c == 0) break;
        if (n == kMaxTextLength) {
            cut = true;
            break;
        }
        if (c == '\r') continue;
        if (c == '&' && !(flags & DT_NOPREFIX)) continue;
        if (c == '\n' && (flags & DT_SINGLELINE)) c = ' ';
        out[n++] = c;
    }
    // A cut through a multi-byte character would otherwise turn the whole text into Latin-1.
    return cut ? SWELL_TrimPartialUTF8(out, n) : n;
}

void UpdateAttributes(HDC ctx, SWELL_FontAttributes* a, int flags) {
    a->hasBackground = ctx->bkMode == OPAQUE;
    a->background = ctx->bkColour;
    if (ctx->textColourObject) {
        CGColorRetain(ctx->textColourObject);
        CGColorRelease(a->foreground);
        a->foreground = ctx->textColourObject;
    }
    a->alignment = (flags & DT_RIGHT)    ? SWELL_FontAttributes::kAlignRight
                   : (flags & DT_CENTER) ? SWELL_FontAttributes::kAlignCentre
                                         : SWELL_FontAttributes::kAlignLeft;
    a->truncateTail = (flags & DT_END_ELLIPSIS) != 0;
}

struct DrawBox {
    double x, y, w, h;
};

// Draws the laid-out lines into the box: backgrounds, then the glyphs' coverage painted in the
// foreground colour, all clipped to the box.
void PaintText(CGContextRef cg, TextLayout& layout, SWELL_FontAttributes* a, unsigned char quality,
               double baseline, int ascent, const DrawBox& box) {
    SWELL_FontFace* face = a->font;
    double lineHeight = face->LineHeight();
    CGRect boxRect = CGRectMake(box.x, box.y, box.w, box.h);
    CGRect visible = CGRectIntersection(boxRect, CGContextGetClipBoundingBox(cg));
    if (CGRectIsEmpty(visible)) return;
    int mx0 = static_cast<int>(floor(CGRectGetMinX(visible)));
    int my0 = static_cast<int>(floor(CGRectGetMinY(visible)));
    int mw = static_cast<int>(ceil(CGRectGetMaxX(visible))) - mx0;
    int mh = static_cast<int>(ceil(CGRectGetMaxY(visible))) - my0;
    if (mw <= 0 || mh <= 0) return;

    SWELL_CoverageMask mask;
    mask.width = mw;
    mask.height = mh;
    mask.stride = (mw + 3) & ~3;
    mask.data = static_cast<unsigned char*>(calloc(static_cast<size_t>(mask.stride) * mh, 1));
    if (!mask.data) return;

    SWELL_GlyphStyle style;
    style.monochrome = quality == NONANTIALIASED_QUALITY;
    style.obliqueness = a->italic ? kItalicObliqueness : 0;
    style.embolden = a->strokeWidth < 0 ? -a->strokeWidth / 100.0 * face->PointSize() : 0;

    CGContextSaveGState(cg);
    CGContextClipToRect(cg, boxRect);
    CGContextSetShouldAntialias(cg, !style.monochrome);
    for (int i = 0; i < layout.LineCount(); ++i) {
        TextLine& l = layout.Line(i);
        double lineBaseline = baseline + i * lineHeight;
        if (a->hasBackground && l.width > 0) {
            int c = a->background;
            CGContextSetRGBFillColor(cg, ((c >> 16) & 0xff) / 255.0, ((c >> 8) & 0xff) / 255.0,
                                     (c & 0xff) / 255.0, 1);
            CGContextFillRect(cg, CGRectMake(l.x, lineBaseline - ascent, l.width, lineHeight));
        }
        face->RenderRun(layout.Glyphs(l), layout.Positions(l), l.count, l.x - mx0,
                        lineBaseline - my0, style, &mask);
        if (a->underline && l.width > 0) {
            int top = static_cast<int>(floor(lineBaseline + face->UnderlineOffset() + 0.5)) - my0;
            int rows = static_cast<int>(fmax(floor(face->UnderlineThickness() + 0.5), 1));
            int left = static_cast<int>(floor(l.x + 0.5)) - mx0;
            int right = static_cast<int>(floor(l.x + l.width + 0.5)) - mx0;
            for (int y = top > 0 ? top : 0; y < top + rows && y < mh; ++y)
                for (int x = left > 0 ? left : 0; x < right && x < mw; ++x)
                    mask.data[y * mask.stride + x] = 255;
        }
    }

    CGDataProviderRef provider = CGDataProviderCreateWithData(
        nullptr, mask.data, static_cast<size_t>(mask.stride) * mh, nullptr);
    const CGFloat coverageDecode[2] = {1, 0};
    CGImageRef image =
        provider ? CGImageMaskCreate(mw, mh, 8, 8, mask.stride, provider, coverageDecode, false)
                 : nullptr;
    if (image) {
        if (a->foreground)
            CGContextSetFillColorWithColor(cg, a->foreground);
        else
            CGContextSetRGBFillColor(cg, 0, 0, 0, 1);
        // Images are drawn bottom-up in user space; turn the mask's rows back to top-down.
        CGContextTranslateCTM(cg, mx0, my0 + mh);
        CGContextScaleCTM(cg, 1, -1);
        CGContextDrawImage(cg, CGRectMake(0, 0, mw, mh), image);
    }
    CGImageRelease(image);
    CGDataProviderRelease(provider);
    CGContextRestoreGState(cg);
    free(mask.data);
}

} // namespace

int SWELL_DrawText(HDC ctx, const char* text, int len, RECT* rect, int flags) {
    if (!SWELL_IsValidContext(ctx) || !text || !rect) return 0;
    char buffer[kMaxTextLength + 1];
    int bytes = PrepareText(text, len, flags, buffer);
    if (bytes == 0) return 0;
    uint32_t codePoints[kMaxTextLength];
    int n = SWELL_DecodeText(buffer, bytes, codePoints);

    unsigned char quality;
    SWELL_FontAttributes* a = SelectedAttributes(ctx, &quality);
    if (!a || !a->font) return 0;
    UpdateAttributes(ctx, a, flags);

    TextLayout layout;
    if (!layout.Build(a->font, codePoints, n)) return 0;
    double W = layout.Width();
    double H = layout.LineCount() * a->font->LineHeight();
    TEXTMETRIC tm;
    GetTextMetrics(ctx, &tm);
    int result = static_cast<int>(ceil(H));

    if (flags & DT_CALCRECT) {
        rect->right = static_cast<int>(rect->left + ceil(W) * 1.02);
        rect->bottom = static_cast<int>(rect->top + ceil(H) * 1.02);
        return result;
    }

    DrawBox box = {static_cast<double>(rect->left), static_cast<double>(rect->top),
                   static_cast<double>(rect->right - rect->left),
                   static_cast<double>(rect->bottom - rect->top)};
    if (flags & DT_BOTTOM) {
        box.y += box.h - H;
        box.h = H;
    } else if (flags & DT_VCENTER) {
        int d = static_cast<int>(box.h - H) / 2;
        box.y += d;
        box.h -= 2 * d;
    } else {
        box.h = H;
    }
    double baseline = box.y + tm.tmAscent;
    if (flags & DT_NOCLIP) {
        if (W > box.w) {
            if (flags & DT_RIGHT)
                box.x -= W - box.w;
            else if (flags & DT_CENTER)
                box.x -= (W - box.w) / 2;
            box.w = W;
        }
        if (H > box.h) {
            if (flags & DT_BOTTOM)
                baseline -= H - box.h;
            else if (flags & DT_VCENTER)
                baseline -= (H - box.h) / 2;
            box.h = H;
        }
    }
    // The box's top follows the first baseline, so backgrounds and clipping agree with it.
    box.y = baseline - tm.tmAscent;

    for (int i = 0; i < layout.LineCount(); ++i) {
        TextLine& l = layout.Line(i);
        if (a->truncateTail) layout.Truncate(l, box.w);
        switch (a->alignment) {
        case SWELL_FontAttributes::kAlignRight: l.x = box.x + box.w - l.width; break;
        case SWELL_FontAttributes::kAlignCentre: l.x = box.x + (box.w - l.width) / 2; break;
        default: l.x = box.x; break;
        }
    }
    PaintText(ctx->ctx, layout, a, quality, baseline, tm.tmAscent, box);
    return result;
}
