#pragma once

#include "editor/IControl.h"

// An invisible area that opens a web address when pressed, and a second address when the first
// is missing or fails to open. Addresses and the message are cut to fit their fields.
class IURLControl : public IControl {
public:
    static constexpr int kURLSize = 256;
    static constexpr int kErrMsgSize = 1024;

    IURLControl(IPlugBase* plug, IRECT rect, const char* url, const char* backupURL = nullptr,
                const char* errMsgOnFailure = nullptr);

    void OnMouseDown(int x, int y, IMouseMod* mod) override;
    bool Draw(IGraphics* /*graphics*/) override { return true; }

protected:
    char mURL[kURLSize] = {};
    char mBackupURL[kURLSize] = {};
    char mErrMsg[kErrMsgSize] = {};
};
