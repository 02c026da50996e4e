#include "editor/IFileSelectorControl.h"

#include "plugin/IPlugBase.h"

IFileSelectorControl::IFileSelectorControl(IPlugBase* plug, IRECT rect, int paramIdx,
                                           const IBitmap* bitmap, EFileAction action,
                                           const char* dir, const char* extensions)
    : IControl(plug, rect, paramIdx), mBitmap(bitmap ? *bitmap : IBitmap()), mDir(dir ? dir : ""),
      mExtensions(extensions ? extensions : ""), mFileAction(action) {}

void IFileSelectorControl::OnMouseDown(int /*x*/, int /*y*/, IMouseMod* /*mod*/) {
    IGraphics* graphics = mPlug ? mPlug->GetGUI() : nullptr;
    if (!graphics) return;
    mState = kFSSelecting;
    SetDirty(false);
    graphics->PromptForFile(&mFile, mFileAction, &mDir, mExtensions.Get());
    mValue += 1.0;
    if (mValue > 1.0) mValue = 0.0;
    mState = kFSDone;
    SetDirty(true);
}

bool IFileSelectorControl::Draw(IGraphics* graphics) {
    if (mState != kFSSelecting) return true;
    return graphics->DrawBitmap(&mBitmap, &mRECT, 0, 0, nullptr);
}

bool IFileSelectorControl::IsDirty() {
    if (mDirty) return true;
    if (mState != kFSDone) return false;
    mState = kFSNone;
    return true;
}
