#pragma once

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

// Quartz's base definitions: CGFloat is a double on 64-bit systems.
typedef double CGFloat;

#ifdef __cplusplus
#define CG_EXTERN_C_BEGIN extern "C" {
#define CG_EXTERN_C_END }
#else
#define CG_EXTERN_C_BEGIN
#define CG_EXTERN_C_END
#endif

#define CG_EXTERN extern __attribute__((visibility("default")))
#define CG_INLINE static inline
