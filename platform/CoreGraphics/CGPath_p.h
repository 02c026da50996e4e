#pragma once

#include "CGArray_p.h"

#include <CoreGraphics/CGGeometry.h>

#include <pixman.h>

// A flattened path in device pixels (x right, y down from the top row): runs of points, each
// run one subpath. Curves are already lines.
struct CGFlatSubpath {
    int start;
    int count;
    bool closed;
};

class CGFlatPath {
public:
    bool MoveTo(CGPoint p);
    bool LineTo(CGPoint p);
    bool Close();
    void Clear();
    bool IsEmpty() const { return mSubpaths.Count() == 0; }
    bool HasCurrentPoint() const { return mSubpaths.Count() > 0; }
    CGPoint CurrentPoint() const { return mPoints[mPoints.Count() - 1]; }
    CGPoint SubpathStart() const { return mPoints[mSubpaths[mSubpaths.Count() - 1].start]; }

    int SubpathCount() const { return mSubpaths.Count(); }
    const CGFlatSubpath& Subpath(int i) const { return mSubpaths[i]; }
    const CGPoint& Point(int i) const { return mPoints[i]; }
    // The bounds of every point; false for an empty path.
    bool Bounds(CGFloat* x0, CGFloat* y0, CGFloat* x1, CGFloat* y1) const;

private:
    CGArray<CGPoint> mPoints;
    CGArray<CGFlatSubpath> mSubpaths;
};

// Adds to `outline` the closed polygons covering a stroke of `path` with the given width: butt
// caps and miter joins (limit 10, bevelled beyond), every polygon wound the same way so that
// the non-zero rule fills their union.
bool CGStrokeOutline(const CGFlatPath& path, CGFloat width, CGFlatPath* outline);

// Adds the coverage of the path's interior (every subpath closed implicitly) to an a8 or a1
// pixman image whose top-left pixel lies at (originX, originY) in the path's space. False when
// memory runs out (the mask may then be partly drawn).
bool CGRasterizePath(const CGFlatPath& path, bool evenOdd, pixman_image_t* mask, int originX,
                     int originY);
