#pragma once

#include <AppKit/GrindvoxAppKit.h>

namespace appkit {

GrindvoxAppKitMenuAnswerer MenuAnswerer();
GrindvoxAppKitPanelAnswerer PanelAnswerer();

} // namespace appkit
