#pragma once

#include "containers/WDL_String.h"
#include "editor/IBitmap.h"
#include "editor/IControl.h"
#include "editor/IGraphics.h"

// A button that asks the user for a file (modal) and remembers the answer. Its image shows only
// while the dialog is open; each selection flips the value between 0 and 1 so that the bound
// parameter sees a change every time. It reports itself dirty once more after a selection, so
// that the image is taken away again.
class IFileSelectorControl : public IControl {
public:
    enum EFileSelectorState { kFSNone = 0, kFSSelecting = 1, kFSDone = 2 };

    // extensions are separated by spaces.
    IFileSelectorControl(IPlugBase* plug, IRECT rect, int paramIdx, const IBitmap* bitmap,
                         EFileAction action, const char* dir = "", const char* extensions = "");

    void OnMouseDown(int x, int y, IMouseMod* mod) override;
    bool Draw(IGraphics* graphics) override;
    bool IsDirty() override;

    void SetLastSelectedFileFromPlug(const char* file) { mFile.Set(file ? file : ""); }
    void GetLastSelectedFileForPlug(WDL_String* str) const {
        if (str) str->Set(mFile.Get());
    }
    EFileSelectorState GetState() const { return mState; }

protected:
    IBitmap mBitmap;
    WDL_String mDir{nullptr}, mFile{nullptr}, mExtensions{nullptr};
    EFileAction mFileAction;
    EFileSelectorState mState = kFSNone;
};
