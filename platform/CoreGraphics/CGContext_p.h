#pragma once

#include "CGArray_p.h"
#include "CGPath_p.h"

#include <CoreGraphics/CGContext.h>

#include <atomic>
#include <pixman.h>

// The graphics state that CGContextSaveGState saves. The clip is kept in device pixels of the
// target (x right, y down from the top row), as the half-open box [clipX0, clipX1) x
// [clipY0, clipY1).
struct CGGState {
    CGAffineTransform ctm;
    int clipX0, clipY0, clipX1, clipY1;
    bool antialias;
    CGInterpolationQuality interpolation;
    CGFloat lineWidth;
    CGFloat fill[4];
    CGFloat stroke[4];
};

// The record behind CGContextRef: a bitmap target drawn through pixman. The context owns its
// pixel memory only when it allocated it.
struct CGContext {
    std::atomic<long> retainCount{1};
    void* data = nullptr;
    bool ownsData = false;
    size_t width = 0;
    size_t height = 0;
    size_t bytesPerRow = 0;
    CGBitmapInfo bitmapInfo = 0;
    // Memory offset, within each pixel, of the byte the format ignores; -1 when none.
    int skipByte = -1;
    pixman_image_t* target = nullptr;
    CGGState state{};
    CGArray<CGGState> saved;
    CGFlatPath path;
};

// The pixman format for 32-bit pixels in a bitmap info layout on this (little-endian) machine,
// with the ignored byte's offset; false for a layout the stand-in does not draw. Formats with
// non-premultiplied alpha map to their premultiplied pixman twin: callers premultiply.
bool CGPixmanFormatFor(CGBitmapInfo info, pixman_format_code_t* format, int* skipByte);

// Sets up the default graphics state for a target of the context's size.
void CGContextResetState(CGContext* c);
