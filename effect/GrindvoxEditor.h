#pragma once

class IGraphics;
class IPlugBase;

// The effect's editor: a fixed panel with a background picture and seven picture controls in
// one row, one per parameter (positions and pictures in GrindvoxLayout.h).

// The window layer's context for the plug-in, of the editor's size at the default rate, with
// the bundle identifier it finds the pictures by; null where the program has no window layer.
// The caller owns it until it attaches it to the plug-in.
IGraphics* MakeGrindvoxGraphics(IPlugBase* plug, const char* bundleID);

// Loads the background and the four control pictures and attaches the seven controls, in
// drawing order: "Filter", "Cutoff", "Resonance", "Bits", "Mix Mode", "Ratio", "Parallel" (so
// "Mix Mode" sits left of "Ratio"). The context keeps the controls; the caller then attaches it.
void LayOutGrindvoxEditor(IGraphics* graphics, IPlugBase* plug);
