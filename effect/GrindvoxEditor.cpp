#include "effect/GrindvoxEditor.h"

#include "editor/IGraphics.h"
#include "editor/IGraphicsMac.h"
#include "editor/IKnobMultiControl.h"
#include "editor/ISwitchControl.h"
#include "effect/Grindvox.h"
#include "effect/GrindvoxLayout.h"

namespace {

using namespace grindvox_layout;

enum EControlKind { kSwitch, kKnob };

// One control of the row, left to right.
struct ControlSlot {
    EControlKind kind;
    int paramIdx;
    int bitmapIdx; // into the bitmaps loaded below
};

struct Picture {
    int id;
    const char* file;
    int frames;
};

// Loaded in this order after the background.
constexpr Picture kPictures[] = {
    {kKnobId, kKnobFile, kKnobFrames},
    {kModeKnobId, kModeKnobFile, kModeFrames},
    {kFilterSwitchId, kFilterSwitchFile, kFilterFrames},
    {kParallelSwitchId, kParallelSwitchFile, kParallelFrames},
};
enum { kKnobBitmap = 0, kModeBitmap, kFilterBitmap, kParallelBitmap, kNumBitmaps };

constexpr ControlSlot kSlots[kNumControls] = {
    {kSwitch, Grindvox::kFilter, kFilterBitmap},     {kKnob, Grindvox::kCutoff, kKnobBitmap},
    {kKnob, Grindvox::kResonance, kKnobBitmap},      {kKnob, Grindvox::kBits, kKnobBitmap},
    {kSwitch, Grindvox::kMixMode, kModeBitmap},      {kKnob, Grindvox::kRatio, kKnobBitmap},
    {kSwitch, Grindvox::kParallel, kParallelBitmap},
};

IControl* makeControl(const ControlSlot& slot, int x, IPlugBase* plug, const IBitmap* bitmap) {
    if (slot.kind == kKnob)
        return new IKnobMultiControl(plug, x, kControlTop, slot.paramIdx, bitmap);
    return new ISwitchControl(plug, x, kControlTop, slot.paramIdx, bitmap);
}

} // namespace

IGraphics* MakeGrindvoxGraphics(IPlugBase* plug, const char* bundleID) {
    return MakeGraphics(plug, kEditorWidth, kEditorHeight, 0, bundleID);
}

void LayOutGrindvoxEditor(IGraphics* graphics, IPlugBase* plug) {
    if (!graphics) return;
    graphics->AttachBackground(kBackgroundId, kBackgroundFile);
    IBitmap bitmaps[kNumBitmaps];
    for (int i = 0; i < kNumBitmaps; ++i)
        bitmaps[i] = graphics->LoadIBitmap(kPictures[i].id, kPictures[i].file, kPictures[i].frames);
    for (int k = 0; k < kNumControls; ++k)
        graphics->AttachControl(
            makeControl(kSlots[k], ControlLeft(k), plug, &bitmaps[kSlots[k].bitmapIdx]));
}
