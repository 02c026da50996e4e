#pragma once

class LICE_IBitmap;

// A control's handle on a cached image: copying it copies the handle, never the pixels, which
// the bitmap cache owns. The image holds N frames of H / N rows stacked top to bottom. A missing
// image is a handle with no pixels and a size of 0 x 0.
struct IBitmap {
    LICE_IBitmap* mData = nullptr;
    int W = 0;
    int H = 0; // all frames together
    int N = 1; // at least 1: a strip asked for with zero or fewer frames counts as one

    IBitmap() = default;
    IBitmap(LICE_IBitmap* data, int w, int h, int n = 1)
        : mData(data), W(w), H(h), N(n > 1 ? n : 1) {}

    // The first row of frame i (1-based), rounded to the nearest row; frames up to 1 and
    // single-frame images start at row 0. Frames beyond N are not limited here: the clipped copy
    // reads nothing outside the image.
    int FrameTop(int i) const;
    int FrameHeight() const { return H / N; }
};
