#include <AppKit/NSBitmapImageRep.h>
#include <CoreGraphics/CGBitmapContext.h>

NSBitmapImageRep::NSBitmapImageRep(NSInteger pixelsWide, NSInteger pixelsHigh) {
    if (pixelsWide <= 0 || pixelsHigh <= 0) return;
    CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
    mContext = CGBitmapContextCreate(nullptr, static_cast<size_t>(pixelsWide),
                                     static_cast<size_t>(pixelsHigh), 8, 0, space,
                                     kCGImageAlphaNoneSkipLast | kCGBitmapByteOrderDefault);
    CGColorSpaceRelease(space);
    if (!mContext) return;
    mWidth = pixelsWide;
    mHeight = pixelsHigh;
}

NSBitmapImageRep::~NSBitmapImageRep() {
    if (mImage) CGImageRelease(mImage);
    if (mContext) CGContextRelease(mContext);
}

NSInteger NSBitmapImageRep::bytesPerRow() const {
    return mContext ? static_cast<NSInteger>(CGBitmapContextGetBytesPerRow(mContext)) : 0;
}

unsigned char* NSBitmapImageRep::bitmapData() const {
    return mContext ? static_cast<unsigned char*>(CGBitmapContextGetData(mContext)) : nullptr;
}

CGImageRef NSBitmapImageRep::CGImage() {
    if (!mContext) return nullptr;
    if (mImage) CGImageRelease(mImage);
    mImage = CGBitmapContextCreateImage(mContext);
    return mImage;
}
