#pragma once

// The window layer's few dealings with the rasteriser, kept apart from AppKit: the GDI layer
// and Cocoa each define BOOL their own way, so no file sees both.

class LICE_IBitmap;
class LICE_SysBitmap;

// Draws the whole bitmap over (0, 0, w, h) of the Quartz context port; false when either has
// no pixels to give or take.
bool DrawSysBitmapInto(LICE_SysBitmap* bitmap, void* port, int w, int h);
bool ResizeSysBitmap(LICE_SysBitmap* bitmap, int w, int h);
// A new bitmap decoded from the PNG file, or null.
LICE_IBitmap* LoadPNGFile(const char* path);
