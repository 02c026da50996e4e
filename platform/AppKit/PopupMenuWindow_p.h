#pragma once

// The X window a popup menu is shown in, and the nested loop that tracks it.
#include "AppKitX11_p.h"

#include <AppKit/NSMenu.h>

namespace appkit {

// Shows the menu with its top-left corner at root point (x, y) and tracks it until the user
// picks an item or dismisses it. Answers the index of the item picked, or -1. view decides which
// items can be picked (see NSMenu::itemIsSelectable).
NSInteger TrackPopupMenu(NSMenu* menu, NSView* view, int x, int y);

} // namespace appkit
