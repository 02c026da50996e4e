#pragma once

#include <CoreGraphics/CGColorSpace.h>

typedef struct CGColor* CGColorRef;

CG_EXTERN_C_BEGIN

// A colour from the space's components followed by alpha, each 0 to 1 (values outside are
// clamped when drawing). Null for a null space or components. The caller releases it.
CG_EXTERN CGColorRef CGColorCreate(CGColorSpaceRef space, const CGFloat* components);
CG_EXTERN CGColorRef CGColorCreateGenericRGB(CGFloat red, CGFloat green, CGFloat blue,
                                             CGFloat alpha);
CG_EXTERN CGColorRef CGColorRetain(CGColorRef color);
CG_EXTERN void CGColorRelease(CGColorRef color);
// The components including alpha; owned by the colour.
CG_EXTERN const CGFloat* CGColorGetComponents(CGColorRef color);
CG_EXTERN size_t CGColorGetNumberOfComponents(CGColorRef color);
CG_EXTERN CGFloat CGColorGetAlpha(CGColorRef color);

CG_EXTERN_C_END
