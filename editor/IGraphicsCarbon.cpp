#include "editor/IGraphicsCarbon.h"

#include "editor/IControl.h"
#include "editor/IGraphicsMac.h"
#include "editor/IMouseMod.h"

#include <AppKit/NSEvent.h>
#include <Carbon/Carbon.h>
#include <CoreFoundation/CFRunLoop.h>

#include <cmath>

namespace {

struct KeyEntry {
    UInt16 macKey;
    int code;
};
// Keys known by their position rather than by what they type.
const KeyEntry kKeys[] = {{49, kKeySpace},
                          {126, kKeyUpArrow},
                          {125, kKeyDownArrow},
                          {123, kKeyLeftArrow},
                          {124, kKeyRightArrow}};

// The editor's code of a key, or -1 for a key it does not take.
int EditorKeyCode(UInt16 macKey, char c) {
    for (const KeyEntry& k : kKeys)
        if (k.macKey == macKey) return k.code;
    if (c >= '0' && c <= '9') return kKeyDigit0 + (c - '0');
    if (c >= 'A' && c <= 'Z') return kKeyAlphaA + (c - 'A');
    if (c >= 'a' && c <= 'z') return kKeyAlphaA + (c - 'a');
    return -1;
}

IMouseMod MouseModOf(const PaneEvent& event) {
    bool command = event.modifiers & NSCommandKeyMask;
    bool right = event.button == 2 || (event.button == 1 && command);
    return IMouseMod(true, right, event.modifiers & NSShiftKeyMask,
                     event.modifiers & NSControlKeyMask, event.modifiers & NSAlternateKeyMask);
}

} // namespace

// The pane's handler and the timer's callout, reaching the host's private parts.
struct IGraphicsCarbon::Access {
    static OSStatus OnPaneEvent(ControlRef pane, PaneEvent* event, void* userData);
    static void OnTimer(CFRunLoopTimerRef timer, void* info);
    static OSStatus Mouse(IGraphicsCarbon* host, const PaneEvent& event);
    static OSStatus Key(IGraphicsCarbon* host, const PaneEvent& event);
    static OSStatus Draw(IGraphicsCarbon* host, PaneEvent& event);
};

IGraphicsCarbon::IGraphicsCarbon(IGraphicsMac* graphicsMac, OpaqueWindowPtr* window,
                                 OpaqueControlRef* parentControl)
    : mGraphicsMac(graphicsMac), mWindow(window) {
    UInt32 attributes = 0;
    GetWindowAttributes(window, &attributes);
    mIsComposited = attributes & kWindowCompositingAttribute;
    int w = graphicsMac->Width(), h = graphicsMac->Height();
    Rect bounds{0, 0, static_cast<SInt16>(h), static_cast<SInt16>(w)};
    UInt32 features = mIsComposited ? 0x12000026 : 38;
    if (CreateUserPaneControl(window, parentControl, &bounds, features, &mView) != noErr) {
        mView = nullptr;
        return;
    }
    InstallPaneEventHandler(mView, &Access::OnPaneEvent, this);
    int fps = graphicsMac->FPS() > 0 ? graphicsMac->FPS() : 30;
    CFTimeInterval interval = 1.0 / fps;
    CFRunLoopTimerContext context{0, this, nullptr, nullptr, nullptr};
    mTimer = CFRunLoopTimerCreate(nullptr, CFAbsoluteTimeGetCurrent() + interval, interval, 0, 0,
                                  &Access::OnTimer, &context);
    CFRunLoopAddTimer(CFRunLoopGetMain(), mTimer, kCFRunLoopCommonModes);
}

IGraphicsCarbon::~IGraphicsCarbon() {
    if (mTimer) {
        CFRunLoopTimerInvalidate(mTimer);
        CFRelease(mTimer);
        mTimer = nullptr;
    }
    EndUserInput(false);
    if (mView) {
        InstallPaneEventHandler(mView, nullptr, nullptr);
        DisposeControl(mView);
        mView = nullptr;
    }
}

void IGraphicsCarbon::Access::OnTimer(CFRunLoopTimerRef, void* info) {
    auto* host = static_cast<IGraphicsCarbon*>(info);
    IRECT r;
    if (!host->mView || !host->mGraphicsMac->IsDirty(&r)) return;
    CGRect area = CGRectMake(r.L, r.T, r.W(), r.H());
    HIViewSetNeedsDisplayInRect(host->mView, &area, true);
}

OSStatus IGraphicsCarbon::Access::Draw(IGraphicsCarbon* host, PaneEvent& event) {
    IGraphicsMac* graphics = host->mGraphicsMac;
    IRECT area(event.area.left, event.area.top, event.area.right, event.area.bottom);
    host->mCGC = event.context;
    CGContextTranslateCTM(host->mCGC, 0, graphics->Height());
    CGContextScaleCTM(host->mCGC, 1, -1);
    graphics->Draw(&area);
    host->mCGC = nullptr;
    return noErr;
}

OSStatus IGraphicsCarbon::Access::Mouse(IGraphicsCarbon* host, const PaneEvent& event) {
    IGraphicsMac* graphics = host->mGraphicsMac;
    // The Carbon pane's content starts inside its frame by this much.
    int x = static_cast<int>(std::trunc(event.point.x)) - 2;
    int y = static_cast<int>(std::trunc(event.point.y)) - 3;
    IMouseMod mod = MouseModOf(event);
    switch (event.kind) {
    case kPaneEventMouseDown:
        if (host->mTextEntryView) host->EndUserInput(true);
        if (event.clickCount >= 2) {
            graphics->OnMouseDblClick(x, y, &mod);
        } else {
            graphics->OnMouseDown(x, y, &mod);
        }
        return noErr;
    case kPaneEventMouseUp: graphics->OnMouseUp(x, y, &mod); return noErr;
    case kPaneEventMouseMoved:
        host->mPrevX = x;
        host->mPrevY = y;
        graphics->OnMouseOver(x, y, &mod);
        return noErr;
    case kPaneEventMouseDragged:
        if (host->mTextEntryView) return eventNotHandledErr;
        graphics->OnMouseDrag(x, y, &mod);
        return noErr;
    case kPaneEventMouseWheel:
        if (event.wheelAxis != kPaneWheelAxisY) return eventNotHandledErr;
        if (host->mTextEntryView) host->EndUserInput(false);
        graphics->OnMouseWheel(x, y, &mod, event.wheelDelta);
        return noErr;
    default: return eventNotHandledErr;
    }
}

OSStatus IGraphicsCarbon::Access::Key(IGraphicsCarbon* host, const PaneEvent& event) {
    if (host->mTextEntryView) return eventNotHandledErr;
    int code = EditorKeyCode(event.keyCode, event.character);
    if (code < 0) return eventNotHandledErr;
    return host->mGraphicsMac->OnKeyDown(host->mPrevX, host->mPrevY, code)
               ? OSStatus(noErr)
               : OSStatus(eventNotHandledErr);
}

OSStatus IGraphicsCarbon::Access::OnPaneEvent(ControlRef, PaneEvent* event, void* userData) {
    auto* host = static_cast<IGraphicsCarbon*>(userData);
    switch (event->kind) {
    case kPaneEventDraw: return Draw(host, *event);
    case kPaneEventRawKeyDown: return Key(host, *event);
    case kPaneEventDeactivated:
        if (host->mTextEntryView) host->EndUserInput(false);
        return eventNotHandledErr;
    case kPaneEventParentDestroyed:
        // The pane went with the host's window: nothing more to draw or time.
        host->mParentGone = true;
        if (host->mTimer) {
            CFRunLoopTimerInvalidate(host->mTimer);
            CFRelease(host->mTimer);
            host->mTimer = nullptr;
        }
        return noErr;
    default: return Mouse(host, *event);
    }
}

void IGraphicsCarbon::CreateTextEntry(IControl*, IText*, IRECT*, const char*, IParam*) {}

void IGraphicsCarbon::EndUserInput(bool) {}

IPopupMenu* IGraphicsCarbon::CreateIPopupMenu(IPopupMenu*, IRECT*) {
    return nullptr;
}

bool IGraphicsCarbon::Resize(int w, int h) {
    if (!mWindow || !mView || mParentGone) return false;
    Rect bounds;
    if (GetWindowBounds(mWindow, kWindowContentRgn, &bounds) != noErr) return false;
    bounds.right = static_cast<SInt16>(bounds.left + w);
    bounds.bottom = static_cast<SInt16>(bounds.top + h);
    SetWindowBounds(mWindow, kWindowContentRgn, &bounds);
    SizeControl(mView, static_cast<SInt16>(w), static_cast<SInt16>(h));
    return true;
}
