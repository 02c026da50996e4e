#pragma once

#include "editor/IGraphics.h"
#include "raster/LICE_Fill.h"
#include "raster/LICE_MemBitmap.h"
#include "raster/LICE_PixelAccess.h"
#include "raster/LICE_SysBitmap.h"
#include "tests/editor/EditorTestSupport.h"

#include <functional>
#include <map>
#include <utility>

// A headless context whose resources are pictures made by the test: OSLoadBitmap makes the
// picture registered for an id (a fresh bitmap each time, as a file load would) and counts the
// loads. Unregistered ids are missing pictures.
class PictureGraphics : public RecordingGraphics {
public:
    using Maker = std::function<LICE_IBitmap*()>;

    explicit PictureGraphics(IPlugBase* plug = nullptr, int w = 200, int h = 100)
        : RecordingGraphics(plug, w, h) {}

    void Register(int id, Maker maker) { mMakers[id] = std::move(maker); }
    LICE_IBitmap* OSLoadBitmap(int id, const char* /*name*/) override {
        ++loads;
        auto found = mMakers.find(id);
        return found == mMakers.end() ? nullptr : found->second();
    }
    // Makes the bitmaps and opens the whole editor for drawing.
    void Prepare(LICE_pixel background = 0) {
        PrepDraw();
        LICE_Clear(GetDrawBitmap(), background);
        SetDrawRECT(IRECT(0, 0, Width(), Height()));
    }
    LICE_pixel At(int x, int y) { return LICE_GetPixel(GetDrawBitmap(), x, y); }

    int loads = 0;

private:
    std::map<int, Maker> mMakers;
};

// A strip whose every row y is opaque red y, so that a copied pixel tells which row it came from.
inline LICE_MemBitmap* RowStrip(int w, int h) {
    auto* bm = new LICE_MemBitmap(w, h, 4);
    for (int y = 0; y < h; ++y)
        LICE_FillRect(bm, 0, y, w, 1, LICE_MakePixel(y & 0xff, 0, 0, 255), 1.0f, LICE_COMBINE_COPY);
    return bm;
}

// An opaque image of one colour.
inline LICE_MemBitmap* Solid(int w, int h, LICE_pixel colour) {
    auto* bm = new LICE_MemBitmap(w, h, 4);
    LICE_Clear(bm, colour);
    return bm;
}
