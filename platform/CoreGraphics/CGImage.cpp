#include "CGImage_p.h"

#include <new>

CGDataProviderRef CGDataProviderCreateWithData(void* info, const void* data, size_t size,
                                               CGDataProviderReleaseDataCallback releaseData) {
    CGDataProvider* provider = new (std::nothrow) CGDataProvider;
    if (!provider) return nullptr;
    provider->info = info;
    provider->data = data;
    provider->size = size;
    provider->releaseData = releaseData;
    return provider;
}

CGDataProviderRef CGDataProviderRetain(CGDataProviderRef provider) {
    if (provider) provider->retainCount.fetch_add(1, std::memory_order_relaxed);
    return provider;
}

void CGDataProviderRelease(CGDataProviderRef provider) {
    if (!provider || provider->retainCount.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
    if (provider->releaseData)
        provider->releaseData(provider->info, provider->data, provider->size);
    delete provider;
}

namespace {

// The last row needs only its own pixels, so an image may end where its provider's data does
// even when its rows are a longer bitmap's rows.
bool FitsProvider(size_t height, size_t bytesPerRow, size_t rowBytes, CGDataProviderRef provider) {
    if (!provider || !provider->data || height == 0) return false;
    if (provider->size < rowBytes) return false;
    return height - 1 <= (provider->size - rowBytes) / bytesPerRow;
}

bool IsSupportedColourLayout(CGBitmapInfo info) {
    CGBitmapInfo order = info & kCGBitmapByteOrderMask;
    if (order != kCGBitmapByteOrderDefault && order != kCGBitmapByteOrder32Big &&
        order != kCGBitmapByteOrder32Little)
        return false;
    switch (info & kCGBitmapAlphaInfoMask) {
    case kCGImageAlphaPremultipliedFirst:
    case kCGImageAlphaFirst:
    case kCGImageAlphaNoneSkipFirst:
    case kCGImageAlphaPremultipliedLast:
    case kCGImageAlphaLast:
    case kCGImageAlphaNoneSkipLast: return true;
    default: return false;
    }
}

} // namespace

CGImageRef CGImageCreate(size_t width, size_t height, size_t bitsPerComponent, size_t bitsPerPixel,
                         size_t bytesPerRow, CGColorSpaceRef space, CGBitmapInfo bitmapInfo,
                         CGDataProviderRef provider, const CGFloat* /*decode*/,
                         bool shouldInterpolate, CGColorRenderingIntent /*intent*/) {
    if (!space || width == 0 || bitsPerComponent != 8 || bitsPerPixel != 32) return nullptr;
    if (width > 0x7fffffff / 4 || height > 0x7fffffff || bytesPerRow < width * 4) return nullptr;
    if (bytesPerRow % 4 != 0 || !IsSupportedColourLayout(bitmapInfo)) return nullptr;
    if (!FitsProvider(height, bytesPerRow, width * 4, provider)) return nullptr;
    CGImage* image = new (std::nothrow) CGImage;
    if (!image) return nullptr;
    image->width = width;
    image->height = height;
    image->bytesPerRow = bytesPerRow;
    image->bitsPerPixel = bitsPerPixel;
    image->bitmapInfo = bitmapInfo;
    image->shouldInterpolate = shouldInterpolate;
    image->provider = CGDataProviderRetain(provider);
    return image;
}

CGImageRef CGImageMaskCreate(size_t width, size_t height, size_t bitsPerComponent,
                             size_t bitsPerPixel, size_t bytesPerRow, CGDataProviderRef provider,
                             const CGFloat* decode, bool shouldInterpolate) {
    if (width == 0 || bitsPerComponent != 8 || bitsPerPixel != 8) return nullptr;
    if (width > 0x7fffffff || height > 0x7fffffff || bytesPerRow < width) return nullptr;
    if (!FitsProvider(height, bytesPerRow, width, provider)) return nullptr;
    CGImage* image = new (std::nothrow) CGImage;
    if (!image) return nullptr;
    image->width = width;
    image->height = height;
    image->bytesPerRow = bytesPerRow;
    image->bitsPerPixel = 8;
    image->bitmapInfo = kCGImageAlphaOnly;
    image->isMask = true;
    image->maskSamplesAreCoverage = decode && decode[0] == 1 && decode[1] == 0;
    image->shouldInterpolate = shouldInterpolate;
    image->provider = CGDataProviderRetain(provider);
    return image;
}

CGImageRef CGImageRetain(CGImageRef image) {
    if (image) image->retainCount.fetch_add(1, std::memory_order_relaxed);
    return image;
}

void CGImageRelease(CGImageRef image) {
    if (!image || image->retainCount.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
    CGDataProviderRelease(image->provider);
    delete image;
}

size_t CGImageGetWidth(CGImageRef image) {
    return image ? image->width : 0;
}
size_t CGImageGetHeight(CGImageRef image) {
    return image ? image->height : 0;
}
size_t CGImageGetBytesPerRow(CGImageRef image) {
    return image ? image->bytesPerRow : 0;
}
size_t CGImageGetBitsPerPixel(CGImageRef image) {
    return image ? image->bitsPerPixel : 0;
}
CGImageAlphaInfo CGImageGetAlphaInfo(CGImageRef image) {
    return image ? (image->bitmapInfo & kCGBitmapAlphaInfoMask)
                 : CGImageAlphaInfo(kCGImageAlphaNone);
}
CGBitmapInfo CGImageGetBitmapInfo(CGImageRef image) {
    return image ? image->bitmapInfo : 0;
}
bool CGImageIsMask(CGImageRef image) {
    return image && image->isMask;
}
