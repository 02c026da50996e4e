#pragma once

// A graphics context with no window, for benchmarks that measure the context's own work: every
// window operation does nothing or answers that there is nothing.
#include "editor/IGraphics.h"

class HeadlessGraphics : public IGraphics {
public:
    using IGraphics::IGraphics;
    using IGraphics::OpenWindow;
    bool DrawScreen(IRECT*) override { return true; }
    void ForceEndUserEdit() override {}
    IPopupMenu* CreateIPopupMenu(IPopupMenu*, IRECT*) override { return nullptr; }
    void CreateTextEntry(IControl*, IText*, IRECT*, const char*, IParam*) override {}
    void HostPath(WDL_String*) override {}
    void PluginPath(WDL_String*) override {}
    void PromptForFile(WDL_String*, EFileAction, WDL_String*, const char*) override {}
    bool PromptForColor(IColor*, const char*) override { return false; }
    bool OpenURL(const char*, const char*, const char*, const char*) override { return false; }
    void* OpenWindow(void*) override { return nullptr; }
    void CloseWindow() override {}
    void* GetWindow() override { return nullptr; }
    LICE_IBitmap* OSLoadBitmap(int, const char*) override { return nullptr; }
};
