#pragma once

// The whole GDI-style drawing interface.
#include "gdi/SWELL_Context.h"
#include "gdi/SWELL_Drawing.h"
#include "gdi/SWELL_Objects.h"
#include "gdi/SWELL_Text.h"
#include "gdi/SWELL_Types.h"
