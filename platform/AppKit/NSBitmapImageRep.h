#pragma once

// A bitmap in memory that views can be drawn into (cacheDisplayInRect:toBitmapImageRep:).
// Pixels are 32 bits, red, green, blue and one unused byte in that memory order, rows
// bytesPerRow apart, the top row first; a new bitmap is all zero.
#include <AppKit/NSObject.h>
#include <CoreGraphics/CGImage.h>

struct CGContext;

class NSBitmapImageRep : public NSObject {
public:
    // An empty (0 x 0) bitmap when the size is not positive or memory runs out.
    NSBitmapImageRep(NSInteger pixelsWide, NSInteger pixelsHigh);

    NSInteger pixelsWide() const { return mWidth; }
    NSInteger pixelsHigh() const { return mHeight; }
    NSInteger bytesPerRow() const;
    NSInteger bitsPerPixel() const { return 32; }
    NSInteger samplesPerPixel() const { return 3; }
    BOOL hasAlpha() const { return NO; }
    unsigned char* bitmapData() const;
    // An image of the pixels as they are now, owned by the bitmap until its next call.
    CGImageRef CGImage();

    // The Quartz context over the pixels (user space: origin at the bottom left), or null.
    CGContext* context() const { return mContext; }

protected:
    ~NSBitmapImageRep() override;

private:
    NSInteger mWidth = 0, mHeight = 0;
    CGContext* mContext = nullptr;
    CGImageRef mImage = nullptr;
};
