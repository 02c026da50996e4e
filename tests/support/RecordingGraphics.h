#pragma once

#include "containers/WDL_String.h"
#include "editor/IControl.h"
#include "editor/IGraphics.h"
#include "editor/IPopupMenu.h"

#include <string>
#include <vector>

// A graphics context with no window behind it: it records what the window layer would be asked
// and answers menus with a choice set beforehand. Tick() does what the window's timer and paint
// call do: collect the dirty area, invalidate it grown by one pixel, and draw that.
class RecordingGraphics : public IGraphics {
public:
    explicit RecordingGraphics(IPlugBase* plug = nullptr, int w = 436, int h = 108, int fps = 0)
        : IGraphics(plug, w, h, fps) {}

    struct Menu {
        std::vector<std::string> titles;
        std::vector<int> flags;
        IRECT area;
    };
    struct TextEntry {
        IControl* control;
        IRECT area;
        std::string text;
        IParam* param;
    };

    // True when something was dirty and drawn.
    bool Tick() {
        IRECT dirty;
        if (!IsDirty(&dirty)) return false;
        IRECT invalid(dirty.L, dirty.T, dirty.R + 1, dirty.B + 1);
        invalidated.push_back(invalid);
        return Draw(&invalid);
    }

    bool DrawScreen(IRECT* rect) override {
        screens.push_back(*rect);
        return true;
    }
    void ForceEndUserEdit() override { ++endedEdits; }
    IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, IRECT* area) override {
        ReleaseMouseCapture();
        Menu shown{{}, {}, *area};
        char title[512];
        for (int i = 0; i < menu->GetNItems(); ++i) {
            menu->GetItemTitle(i, title, sizeof title);
            shown.titles.push_back(title);
            shown.flags.push_back(menu->GetItem(i)->GetFlags());
        }
        menus.push_back(shown);
        if (menuChoice < 0) return nullptr;
        menu->SetChosenItemIdx(menuChoice);
        return menu;
    }
    void CreateTextEntry(IControl* control, IText* /*text*/, IRECT* area, const char* str,
                         IParam* param) override {
        textEntries.push_back({control, *area, str, param});
    }
    void HostPath(WDL_String* path) override { path->Set("/host/Contents/Linux/host"); }
    void PluginPath(WDL_String* path) override { path->Set("/plugins/"); }
    void PromptForFile(WDL_String* filename, EFileAction /*action*/, WDL_String* /*dir*/,
                       const char* /*extensions*/) override {
        filename->Set("");
    }
    bool PromptForColor(IColor* /*color*/, const char* /*prompt*/) override { return false; }
    bool OpenURL(const char* url, const char* /*title*/, const char* /*confirmMessage*/,
                 const char* /*errorMessage*/) override {
        urls.push_back(url ? url : "");
        return true;
    }
    using IGraphics::OpenWindow;
    void* OpenWindow(void* /*parentView*/) override {
        mOpen = true;
        return &mView;
    }
    void CloseWindow() override { mOpen = false; }
    void* GetWindow() override { return mOpen ? &mView : nullptr; }
    LICE_IBitmap* OSLoadBitmap(int /*id*/, const char* /*name*/) override { return nullptr; }

    int menuChoice = -1; // the item the next menu answers, or -1 for none
    std::vector<IRECT> invalidated;
    std::vector<IRECT> screens;
    std::vector<Menu> menus;
    std::vector<TextEntry> textEntries;
    std::vector<std::string> urls;
    int endedEdits = 0;

private:
    bool mOpen = false;
    int mView = 0; // stands for the view object
};
