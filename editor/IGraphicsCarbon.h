#pragma once

#include "editor/IRECT.h"

class IControl;
class IGraphicsMac;
class IParam;
class IPopupMenu;
struct IText;
struct OpaqueControlRef;
struct OpaqueWindowPtr;
struct __CFRunLoopTimer;
struct CGContext;

// The editor embedded in a host's own window: a user pane the size of the editor inside the
// host's X window, its event handler turning the pane's input into the context's calls, and a
// run-loop timer driving the redraw cycle. Made and deleted by its IGraphicsMac, which it
// serves and does not own; it owns the pane, the timer and the open text entry.
class IGraphicsCarbon {
public:
    IGraphicsCarbon(IGraphicsMac* graphicsMac, OpaqueWindowPtr* window,
                    OpaqueControlRef* parentControl);
    // Timer first, then the text entry, then the pane.
    ~IGraphicsCarbon();

    IGraphicsCarbon(const IGraphicsCarbon&) = delete;
    IGraphicsCarbon& operator=(const IGraphicsCarbon&) = delete;

    // The pane, or null when it could not be made in the host's window.
    OpaqueControlRef* GetView() const { return mView; }
    CGContext* GetCGContext() const { return mCGC; }
    bool GetIsComposited() const { return mIsComposited; }
    int ContentXOffset() const { return mContentXOffset; }
    int ContentYOffset() const { return mContentYOffset; }
    bool TimerIsRunning() const { return mTimer != nullptr; }

    void CreateTextEntry(IControl* control, IText* text, IRECT* textRect, const char* str,
                         IParam* param);
    void EndUserInput(bool commit);
    IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, IRECT* areaRect);
    // Sizes the host's window and the pane, in device pixels; false without both.
    bool Resize(int w, int h);

    // The pane's handler, the timer's callout and the field's key filter, beside the host.
    struct Access;

private:
    IGraphicsMac* mGraphicsMac;
    bool mIsComposited = false;
    int mContentXOffset = 0, mContentYOffset = 0;
    OpaqueWindowPtr* mWindow;
    OpaqueControlRef* mView = nullptr;
    __CFRunLoopTimer* mTimer = nullptr;
    CGContext* mCGC = nullptr;              // the pane's context during a draw event only
    void* mTextEntryView = nullptr;         // the open text field (an NSTextField), retained
    void* mParamEditHandler = nullptr;      // the field's window (an NSWindow), owned while open
    OpaqueControlRef* mFieldPane = nullptr; // the pane the field's window sits in
    IControl* mEdControl = nullptr;
    IParam* mEdParam = nullptr;
    int mPrevX = 0, mPrevY = 0; // editor point of the last mouse move, for key events
    bool mParentGone = false;   // the host destroyed its window: no X call may follow
};
