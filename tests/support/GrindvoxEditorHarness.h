#pragma once

// Grindvox with its editor laid out in a context that has no window: the pictures come from the
// built bundle's resources (looked up by their last path component, as the window layer does),
// and Tick() runs the redraw cycle into the draw bitmap.

#include "editor/IControl.h"
#include "editor/IMouseMod.h"
#include "effect/Grindvox.h"
#include "effect/GrindvoxEditor.h"
#include "raster/LICE_PNG.h"
#include "raster/LICE_SysBitmap.h"
#include "tests/support/RecordingGraphics.h"

#include <cstring>
#include <string>

namespace grindvox::test {

class BundleGraphics : public RecordingGraphics {
public:
    BundleGraphics(IPlugBase* plug, std::string resources)
        : RecordingGraphics(plug), mResources(std::move(resources)) {}

    // The draw bitmap is the screen; nothing is recorded, so that endless redraws stay flat.
    bool DrawScreen(IRECT* /*rect*/) override { return true; }

    LICE_IBitmap* OSLoadBitmap(int /*ID*/, const char* name) override {
        const char* slash = std::strrchr(name, '/');
        return LICE_LoadPNG((mResources + "/" + (slash ? slash + 1 : name)).c_str());
    }

private:
    std::string mResources;
};

class GrindvoxEditorHarness {
public:
    explicit GrindvoxEditorHarness(const std::string& resources) : mPlug(IPlugInstanceInfo{}) {
        // Where the program has a window layer the effect made its own editor; this one, with no
        // window, takes its place.
        delete mPlug.GetGUI();
        mGraphics = new BundleGraphics(&mPlug, resources);
        LayOutGrindvoxEditor(mGraphics, &mPlug);
        mPlug.AttachGraphics(mGraphics);
    }

    Grindvox& Plug() { return mPlug; }
    BundleGraphics& Graphics() { return *mGraphics; }
    // Control k of the row (0 "Filter" .. 6 "Parallel"); the background is control 0 of the
    // context, so the row starts at 1.
    IControl* Control(int k) { return mGraphics->GetControl(k + 1); }

    // Draws the whole editor into the draw bitmap, whatever is dirty.
    void DrawAll() {
        mGraphics->SetAllControlsDirty();
        IRECT all(0, 0, mGraphics->Width(), mGraphics->Height());
        mGraphics->Draw(&all);
    }
    void Click(int x, int y) {
        IMouseMod mod(true);
        mGraphics->OnMouseDown(x, y, &mod);
        mGraphics->OnMouseUp(x, y, &mod);
    }
    // A left-button drag from (x, y) by dy rows in steps of one row.
    void Drag(int x, int y, int dy) {
        IMouseMod mod(true);
        mGraphics->OnMouseDown(x, y, &mod);
        const int step = dy < 0 ? -1 : 1;
        for (int d = step; d != dy + step; d += step)
            mGraphics->OnMouseDrag(x, y + d, &mod);
        mGraphics->OnMouseUp(x, y + dy, &mod);
    }

private:
    Grindvox mPlug;
    BundleGraphics* mGraphics; // owned by the plug-in once attached
};

} // namespace grindvox::test
