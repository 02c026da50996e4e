// Text and images for the context: fonts built from text styles and images loaded from the
// plug-in's resources, both kept in process-wide caches that every editor shares.
#include "editor/IGraphics.h"

#include "editor/BitmapStorage.h"
#include "editor/FontStorage.h"
#include "editor/IText.h"
#include "gdi/SWELL_Objects.h"
#include "gdi/SWELL_Text.h"
#include "raster/LICE_Blit.h"
#include "raster/LICE_CachedFont.h"
#include "raster/LICE_Fill.h"
#include "raster/LICE_MemBitmap.h"
#include "raster/LICE_ScaledBlit.h"
#include "raster/LICE_SysBitmap.h"

#include <cmath>

// Made before any editor exists and destroyed at unload, each with whatever it still owns.
BitmapStorage IGraphics::s_bitmapCache;
FontStorage IGraphics::s_fontCache;

namespace {

// The system font quality for each text quality; anything unknown draws without smoothing.
constexpr char kQualityByText[] = {DEFAULT_QUALITY, NONANTIALIASED_QUALITY, 4, 4};
constexpr int kQualities = static_cast<int>(sizeof kQualityByText);
constexpr int kMinLineHeight = 2;

char GdiQuality(int quality) {
    if (quality < 0 || quality >= kQualities) return NONANTIALIASED_QUALITY;
    return kQualityByText[quality];
}

bool SetFace(LICE_CachedFont* font, const IText* text, int height) {
    const int angle = text->mOrientation * 10;
    HFONT handle =
        CreateFont(height, 0, angle, angle, text->mStyle == IText::kStyleBold ? FW_BOLD : FW_NORMAL,
                   text->mStyle == IText::kStyleItalic, 0, 0, 0, 0, 0, GdiQuality(text->mQuality),
                   0, text->mFont);
    if (!handle) return false;
    font->SetFromHFont(handle, LICE_CACHEDFONT_OWNS_FONT | LICE_CACHEDFONT_NATIVE);
    return true;
}

// A new empty image of the size, cleared to transparent black so that whatever a clipped copy
// leaves untouched is defined; null when it cannot be had.
LICE_MemBitmap* ClearBitmap(int w, int h) {
    if (w <= 0 || h <= 0) return nullptr;
    LICE_MemBitmap* bitmap = new LICE_MemBitmap(w, h, 4);
    if (!bitmap->getBits()) {
        delete bitmap;
        return nullptr;
    }
    LICE_Clear(bitmap, 0);
    return bitmap;
}

} // namespace

// ---- Text ----

bool IGraphics::DrawIText(IText* text, const char* str, IRECT* rect) {
    if (!str || !*str) return true;
    if (!text || !rect) return false;
    LICE_IFont* font = text->mCached;
    if (!font) font = CacheFont(text);
    if (!font) return false;
    const IColor& c = text->mColor;
    font->SetTextColor(LICE_MakePixel(c.R, c.G, c.B, c.A));
    unsigned int flags = DT_NOCLIP;
    if (text->mAlign == IText::kAlignCenter) {
        flags |= DT_CENTER;
    } else if (text->mAlign != IText::kAlignNear) {
        flags |= DT_RIGHT;
    }
    if ((c.A & 0xff) < 255) flags |= LICE_DT_USEFGALPHA;
    RECT r = {rect->L, rect->T, rect->R, rect->B};
    font->DrawText(mDrawBitmap, str, -1, &r, flags);
    return true;
}

// The style's size is the line height asked for; the system's nominal height is corrected once
// when the face it finds draws taller or shorter lines.
LICE_CachedFont* IGraphics::CacheFont(IText* text) {
    if (!text) return nullptr;
    if (LICE_IFont* cached = s_fontCache.Find(text)) {
        text->mCached = cached;
        return static_cast<LICE_CachedFont*>(cached);
    }
    LICE_CachedFont* font = new LICE_CachedFont;
    int hh = text->mSize > kMinLineHeight ? text->mSize : kMinLineHeight;
    if (!SetFace(font, text, hh)) {
        delete font;
        return nullptr;
    }
    const int lineHeight = font->GetLineHeight();
    // A face that reports no line height cannot be corrected: it keeps its first rendering.
    if (lineHeight > 0 && lineHeight != hh) {
        const int h = LICE_DoubleToIntSat(static_cast<double>(hh) * hh / lineHeight + 0.5);
        hh = h > kMinLineHeight ? h : kMinLineHeight;
        if (!SetFace(font, text, hh)) {
            delete font;
            return nullptr;
        }
    }
    if (!s_fontCache.Add(font, text)) return nullptr;
    text->mCached = font;
    return font;
}

// ---- Images ----

IBitmap IGraphics::LoadIBitmap(int id, const char* name, int nStates) {
    LICE_IBitmap* bitmap = s_bitmapCache.Find(id);
    if (!bitmap) {
        bitmap = OSLoadBitmap(id, name);
        if (!bitmap || !s_bitmapCache.Add(bitmap, id)) return IBitmap(nullptr, 0, 0, nStates);
    }
    return IBitmap(bitmap, bitmap->getWidth(), bitmap->getHeight(), nStates);
}

void IGraphics::RetainBitmap(IBitmap* bitmap) {
    if (!bitmap || !bitmap->mData) return;
    if (s_bitmapCache.Retain(bitmap->mData)) return;
    if (!s_bitmapCache.Add(bitmap->mData, -1)) *bitmap = IBitmap();
}

void IGraphics::ReleaseBitmap(IBitmap* bitmap) {
    if (!bitmap || !bitmap->mData) return;
    if (!s_bitmapCache.Holds(bitmap->mData)) return;
    s_bitmapCache.Remove(bitmap->mData);
    // This handle gave up its reference: it must not reach the pixels any more.
    *bitmap = IBitmap();
}

IBitmap IGraphics::ScaleBitmap(IBitmap* src, int destW, int destH) {
    if (!src || !src->mData) return IBitmap();
    LICE_MemBitmap* scaled = ClearBitmap(destW, destH);
    if (!scaled) return IBitmap();
    LICE_ScaledBlit(scaled, src->mData, 0, 0, destW, destH, 0.0f, 0.0f, static_cast<float>(src->W),
                    static_cast<float>(src->H), 1.0f, LICE_FILTER_BILINEAR);
    if (!s_bitmapCache.Add(scaled, -1)) return IBitmap();
    return IBitmap(scaled, destW, destH, src->N);
}

IBitmap IGraphics::CropBitmap(IBitmap* src, IRECT* rect) {
    if (!src || !src->mData || !rect) return IBitmap();
    LICE_MemBitmap* cropped = ClearBitmap(rect->W(), rect->H());
    if (!cropped) return IBitmap();
    LICE_Blit(cropped, src->mData, 0, 0, rect->L, rect->T, rect->W(), rect->H(), 1.0f,
              LICE_COMBINE_COPY);
    if (!s_bitmapCache.Add(cropped, -1)) return IBitmap();
    return IBitmap(cropped, rect->W(), rect->H(), src->N);
}
