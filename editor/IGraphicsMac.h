#pragma once

#include "containers/WDL_String.h"
#include "editor/IGraphics.h"

class IGraphicsCarbon;
class IGraphicsCocoa_vGrindvox_au;
class IPlugAU;
class LICE_SysBitmap;
class NSWindow;

// The graphics context shown as a Cocoa view: the view's timer drives the redraw cycle, its
// events become the context's input, and prompts, menus, panels and URLs go through AppKit.
// The context owns its open view (one reference) until CloseWindow; the view outlives it only
// unbound. On the sub-window path it also owns the wrapper of the host's window. Embedded in a
// host's own window instead (the two-argument OpenWindow), it owns the embedding host.
class IGraphicsMac : public IGraphics {
public:
    IGraphicsMac(IPlugBase* plug, int w, int h, int refreshFPS = 0);
    // Closes the window first, so nothing is left to fire into the deleted controls.
    ~IGraphicsMac() override;

    void SetBundleID(const char* bundleID) { mBundleID.Set(bundleID); }
    // The host's scale factor for this editor (device pixels per point, as an LV2 host's
    // ui:scaleFactor); 0, the default, asks the screen when a window opens. Takes effect at
    // the next window.
    void SetDisplayScale(double factor) { mScaleFactor = factor > 0 ? factor : 0; }
    // Device pixels per editor pixel of the open window: 2 when the factor was 1.5 or more as
    // the window opened, else 1. The editor's own pixels (controls, rectangles, the draw
    // bitmap) never change with it: the view or pane is DisplayScale() times the editor's
    // size, shows the draw bitmap enlarged bilinearly, and maps positions back.
    int DisplayScale() const override { return mDisplayScale; }
    const char* GetBundleID() const { return mBundleID.Get(); }
    // The system version as Gestalt reports it ('sysv', BCD such as 0x1058).
    static int GetUserOSVersion();
    void* OpenCocoaWindow(void* parentView) { return OpenWindow(parentView); }
    void* OpenCarbonWindow(void* window, void* parentControl) {
        return OpenWindow(window, parentControl);
    }

    bool DrawScreen(IRECT* rect) override;
    void ForceEndUserEdit() override;
    void Resize(int w, int h) override;
    bool WindowIsOpen() override { return mGraphicsCocoa || mGraphicsCarbon; }
    const char* GetGUIAPI() override { return mGraphicsCarbon ? "Carbon gui" : "Cocoa gui"; }
    IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, IRECT* areaRect) override;
    void CreateTextEntry(IControl* control, IText* text, IRECT* textRect, const char* str,
                         IParam* param) override;
    void HostPath(WDL_String* path) override;
    void PluginPath(WDL_String* path) override;
    void PromptForFile(WDL_String* filename, EFileAction action, WDL_String* dir,
                       const char* extensions) override;
    bool PromptForColor(IColor*, const char*) override { return false; }
    // False when the text makes no URL, so a caller can try another address.
    bool OpenURL(const char* url, const char* title = nullptr, const char* confirmMessage = nullptr,
                 const char* errorMessage = nullptr) override;
    void* OpenWindow(void* parentView) override;
    // Embeds the editor in a pane of the host's window (an X window id) or of its parent
    // control; answers the pane's control, or null when it could not be made.
    void* OpenWindow(void* window, void* parentControl) override;
    // Opens the editor in a borderless child window centred over the host's window (an X
    // window id here); an earlier child window is removed first.
    void AttachSubWindow(void* hostWindowRef) override;
    void RemoveSubWindow() override;
    void CloseWindow() override;
    void* GetWindow() override;
    IGraphicsCarbon* GetCarbonHost() const { return mGraphicsCarbon; }
    // A PNG resource of the bundle named by the bundle identifier; the ID is not used.
    LICE_IBitmap* OSLoadBitmap(int id, const char* name) override;

    // The view tells its context it left its parent.
    void ViewRemoved(IGraphicsCocoa_vGrindvox_au* view);

private:
    // Decides the scale of a window about to open and makes its enlarged bitmap; 1 when that
    // bitmap cannot be made.
    int ChooseDisplayScale();

    IGraphicsCocoa_vGrindvox_au* mGraphicsCocoa = nullptr;
    IGraphicsCarbon* mGraphicsCarbon = nullptr; // owned, while embedded in a host's window
    WDL_String mBundleID{nullptr, 128};
    NSWindow* mHostNSWindow = nullptr; // retained, on the sub-window path only
    NSWindow* mChildWindow = nullptr;  // retained, on the sub-window path only
    double mScaleFactor = 0;           // the host's; 0 asks the screen
    int mDisplayScale = 1;
    LICE_SysBitmap* mScaledBitmap = nullptr; // owned; the shown picture when the scale is 2
};

// A new context for the plug-in with the bundle identifier set.
IGraphicsMac* MakeGraphics(IPlugBase* plug, int w, int h, int fps, const char* bundleID);
