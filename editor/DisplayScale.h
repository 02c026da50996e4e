#pragma once

#include "editor/IRECT.h"

// The editor's pixels at the window boundary. Controls, rectangles and the draw bitmap stay in
// editor pixels; a window shown at display scale s (1 or 2) has s x s device pixels per editor
// pixel, filled by a bilinear enlargement of the draw bitmap whose device pixel i samples the
// editor at i / s. At scale 1 every function here answers its input unchanged.

// The device pixels that change when the editor area r (w x h editor) is redrawn: those that
// sample r, and those left of and above it that mix r's first column or row with their own.
IRECT DeviceAreaOfEditorArea(const IRECT& r, int scale, int w, int h);
// The editor area whose pixels the device area r mixes, within the w x h editor.
IRECT EditorAreaOfDeviceArea(const IRECT& r, int scale, int w, int h);
// An editor rectangle in device pixels, for placing entries and menus over it.
IRECT DeviceRect(const IRECT& r, int scale);
// The editor coordinate of a device coordinate; left of or above the editor stays negative.
int EditorCoordinate(int device, int scale);
