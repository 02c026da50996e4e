#include "editor/IURLControl.h"

#include "editor/IGraphics.h"
#include "plugin/FixedText.h"
#include "plugin/IPlugBase.h"

IURLControl::IURLControl(IPlugBase* plug, IRECT rect, const char* url, const char* backupURL,
                         const char* errMsgOnFailure)
    : IControl(plug, rect) {
    CopyToField(mURL, url);
    CopyToField(mBackupURL, backupURL);
    CopyToField(mErrMsg, errMsgOnFailure);
}

void IURLControl::OnMouseDown(int /*x*/, int /*y*/, IMouseMod* /*mod*/) {
    IGraphics* graphics = mPlug ? mPlug->GetGUI() : nullptr;
    if (!graphics) return;
    bool opened = false;
    if (mURL[0]) opened = graphics->OpenURL(mURL, mErrMsg, nullptr, nullptr);
    if (!opened && mBackupURL[0]) graphics->OpenURL(mBackupURL, mErrMsg, nullptr, nullptr);
}
