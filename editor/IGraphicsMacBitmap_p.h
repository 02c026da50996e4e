#pragma once

// The window layer's few dealings with the rasteriser, kept apart from AppKit: the GDI layer
// and Cocoa each define BOOL their own way, so no file sees both.

#include "editor/IRECT.h"

class LICE_IBitmap;
class LICE_SysBitmap;

// Draws the whole bitmap over (0, 0, w, h) of the Quartz context port; false when either has
// no pixels to give or take.
bool DrawSysBitmapInto(LICE_SysBitmap* bitmap, void* port, int w, int h);
bool ResizeSysBitmap(LICE_SysBitmap* bitmap, int w, int h);
// A new w x h bitmap for the enlarged picture, or null when it could not be made.
LICE_SysBitmap* NewSysBitmap(int w, int h);
void DeleteSysBitmap(LICE_SysBitmap* bitmap);
// Enlarges the editor area of source scale times, bilinearly, into the matching device pixels
// of dest (the source's size times scale), with the pixels around the area that mix it.
void ScaleSysBitmapArea(LICE_SysBitmap* dest, LICE_SysBitmap* source, int scale, const IRECT& area);
// A new bitmap decoded from the PNG file, or null.
LICE_IBitmap* LoadPNGFile(const char* path);
