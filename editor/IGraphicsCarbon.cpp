#include "editor/IGraphicsCarbon.h"

#include "editor/DisplayScale.h"
#include "editor/IControl.h"
#include "editor/IGraphicsCocoa.h"
#include "editor/IGraphicsMac.h"
#include "editor/IMouseMod.h"
#include "editor/IText.h"
#include "plugin/IParam.h"

#include <AppKit/AppKit.h>

#include <Carbon/Carbon.h>
#include <CoreFoundation/CFRunLoop.h>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

IMouseMod MouseModOf(const PaneEvent& event) {
    bool command = event.modifiers & NSCommandKeyMask;
    bool right = event.button == 2 || (event.button == 1 && command);
    return IMouseMod(true, right, event.modifiers & NSShiftKeyMask,
                     event.modifiers & NSControlKeyMask, event.modifiers & NSAlternateKeyMask);
}

NSTextAlignment AlignmentOf(int align) {
    switch (align) {
    case IText::kAlignNear: return NSLeftTextAlignment;
    case IText::kAlignFar: return NSRightTextAlignment;
    default: return NSCenterTextAlignment;
    }
}

enum EFilter { kPass, kSwallow, kCommit };

// What the entry does with a key: Return and Enter commit, editing keys reach the field, a
// parameter's entry takes only what its type can read, and nothing grows the text beyond the
// control's entry length.
EFilter FilterKey(unsigned short macKey, unichar c, const IParam* param, NSUInteger length,
                  int maxLength) {
    if (c == 13 || c == 3 || macKey == 36 || macKey == 76) return kCommit;
    static const unsigned short kEditingKeys[] = {123, 124, 125, 126, 51, 117};
    for (unsigned short key : kEditingKeys)
        if (key == macKey) return kPass;
    if (c == 8 || c == 127) return kPass;
    // A parameter of no known kind filters nothing.
    const char* accepted = param ? AcceptedCharacters(param) : "";
    if (*accepted && (c == 0 || c > 127 || !strchr(accepted, static_cast<char>(c))))
        return kSwallow;
    return static_cast<int>(length) < maxLength ? kPass : kSwallow;
}

// The entry's field: its key handler runs the filter before the field sees a key.
class CarbonTextField : public NSTextField {
public:
    CarbonTextField(NSRect frame, IGraphicsCarbon* host) : NSTextField(frame), mHost(host) {}
    void keyDown(NSEvent* event) override;
    void detach() { mHost = nullptr; }

private:
    IGraphicsCarbon* mHost; // null once the entry ended
};

} // namespace

// The pane's handler and the timer's callout, reaching the host's private parts.
struct IGraphicsCarbon::Access {
    static OSStatus OnPaneEvent(ControlRef pane, PaneEvent* event, void* userData);
    static void OnTimer(CFRunLoopTimerRef timer, void* info);
    static OSStatus Mouse(IGraphicsCarbon* host, const PaneEvent& event);
    static OSStatus Key(IGraphicsCarbon* host, const PaneEvent& event);
    static OSStatus Draw(IGraphicsCarbon* host, PaneEvent& event);
    static void FieldKey(IGraphicsCarbon* host, CarbonTextField* field, NSEvent* event);
};

void CarbonTextField::keyDown(NSEvent* event) {
    if (!mHost) return;
    IGraphicsCarbon::Access::FieldKey(mHost, this, event);
}

void IGraphicsCarbon::Access::FieldKey(IGraphicsCarbon* host, CarbonTextField* field,
                                       NSEvent* event) {
    NSString* chars = event->characters();
    unichar c = chars && chars->length() == 1 ? chars->characterAtIndex(0) : 0;
    NSUInteger length = field->stringValue()->length();
    int maxLength = host->mEdControl ? host->mEdControl->GetTextEntryLength() : 0;
    switch (FilterKey(event->keyCode(), c, host->mEdParam, length, maxLength)) {
    case kCommit: host->EndUserInput(true); return; // the field outlives this handler
    case kPass: field->NSTextField::keyDown(event); return;
    case kSwallow: return;
    }
}

IGraphicsCarbon::IGraphicsCarbon(IGraphicsMac* graphicsMac, OpaqueWindowPtr* window,
                                 OpaqueControlRef* parentControl)
    : mGraphicsMac(graphicsMac), mWindow(window) {
    UInt32 attributes = 0;
    GetWindowAttributes(window, &attributes);
    mIsComposited = attributes & kWindowCompositingAttribute;
    const int scale = graphicsMac->DisplayScale();
    int w = graphicsMac->Width() * scale, h = graphicsMac->Height() * scale;
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
    IGraphicsMac* graphics = host->mGraphicsMac;
    IRECT r;
    if (!host->mView || !graphics->IsDirty(&r)) return;
    r = DeviceAreaOfEditorArea(r, graphics->DisplayScale(), graphics->Width(), graphics->Height());
    CGRect area = CGRectMake(r.L, r.T, r.W(), r.H());
    HIViewSetNeedsDisplayInRect(host->mView, &area, true);
}

OSStatus IGraphicsCarbon::Access::Draw(IGraphicsCarbon* host, PaneEvent& event) {
    IGraphicsMac* graphics = host->mGraphicsMac;
    const int scale = graphics->DisplayScale();
    IRECT area = EditorAreaOfDeviceArea(
        IRECT(event.area.left, event.area.top, event.area.right, event.area.bottom), scale,
        graphics->Width(), graphics->Height());
    host->mCGC = event.context;
    CGContextTranslateCTM(host->mCGC, 0, graphics->Height() * scale);
    CGContextScaleCTM(host->mCGC, 1, -1);
    graphics->Draw(&area);
    host->mCGC = nullptr;
    return noErr;
}

OSStatus IGraphicsCarbon::Access::Mouse(IGraphicsCarbon* host, const PaneEvent& event) {
    IGraphicsMac* graphics = host->mGraphicsMac;
    // The Carbon pane's content starts inside its frame by this much, in editor pixels.
    const int scale = graphics->DisplayScale();
    int x = EditorCoordinate(static_cast<int>(std::trunc(event.point.x)), scale) - 2;
    int y = EditorCoordinate(static_cast<int>(std::trunc(event.point.y)), scale) - 3;
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
    int code = EditorKeyCode(event.keyCode, static_cast<unsigned char>(event.character));
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

void IGraphicsCarbon::CreateTextEntry(IControl* control, IText* text, IRECT* textRect,
                                      const char* str, IParam* param) {
    if (!control || !text || !textRect || mTextEntryView || !mIsComposited || !mView) return;
    if (mParentGone || textRect->W() <= 0 || textRect->H() <= 0) return;
    const int scale = mGraphicsMac->DisplayScale();
    const IRECT shown = DeviceRect(*textRect, scale);
    // The field lives in a pane of its own over the text rectangle, which the window stand-in
    // takes over as the field's window.
    Rect bounds{static_cast<SInt16>(shown.T), static_cast<SInt16>(shown.L),
                static_cast<SInt16>(shown.B), static_cast<SInt16>(shown.R)};
    ControlRef fieldPane = nullptr;
    if (CreateUserPaneControl(mWindow, mView, &bounds, 0, &fieldPane) != noErr) return;
    NSWindow* fieldWindow = new NSWindow(reinterpret_cast<void*>(
        static_cast<uintptr_t>(GrindvoxCarbon_XWindowOfControl(fieldPane))));
    fieldWindow->setReleasedWhenClosed(NO);
    auto* field = new CarbonTextField(NSMakeRect(0, 0, shown.W(), shown.H()), this);
    if (str && *str) field->setStringValue(NSString::stringWithUTF8String(str));
    field->setFont(NSFont::fontWithName_size(NSString::stringWithUTF8String(text->mFont),
                                             text->mSize * scale));
    field->setAlignment(AlignmentOf(text->mAlign));
    field->setBordered(NO);
    fieldWindow->contentView()->addSubview(field);
    fieldWindow->makeKeyAndOrderFront(nil);
    fieldWindow->makeFirstResponder(field);
    if (str && *str) field->selectText(nil);
    mTextEntryView = field;
    mParamEditHandler = fieldWindow;
    mFieldPane = fieldPane;
    mEdControl = control;
    mEdParam = param;
}

void IGraphicsCarbon::EndUserInput(bool commit) {
    auto* field = static_cast<CarbonTextField*>(mTextEntryView);
    if (!field) return;
    auto* fieldWindow = static_cast<NSWindow*>(mParamEditHandler);
    ControlRef fieldPane = mFieldPane;
    IControl* control = mEdControl;
    IParam* param = mEdParam;
    mTextEntryView = nullptr;
    mParamEditHandler = nullptr;
    mFieldPane = nullptr;
    mEdControl = nullptr;
    mEdParam = nullptr;
    field->detach();
    if (commit) {
        char typed[32] = {};
        snprintf(typed, sizeof typed, "%s", field->stringValue()->UTF8String());
        if (param) {
            mGraphicsMac->SetFromStringAfterPrompt(control, param, typed);
        } else {
            control->TextFromTextEntry(typed);
        }
    }
    // Return ends the entry from inside the field's own key handler: the field and its window
    // stay alive until the event's pool drains.
    field->retain();
    field->autorelease();
    field->removeFromSuperview();
    field->release();
    // The wrapper lets go of the pane's X window before the pane destroys it.
    fieldWindow->close();
    fieldWindow->autorelease();
    DisposeControl(fieldPane);
    if (mView && !mParentGone) {
        const int scale = mGraphicsMac->DisplayScale();
        CGRect all =
            CGRectMake(0, 0, mGraphicsMac->Width() * scale, mGraphicsMac->Height() * scale);
        HIViewSetNeedsDisplayInRect(mView, &all, true);
    }
}

IPopupMenu* IGraphicsCarbon::CreateIPopupMenu(IPopupMenu* menu, IRECT* areaRect) {
    if (!menu || !areaRect || !mView || mParentGone) return nullptr;
    if (areaRect->W() <= 0 || areaRect->H() <= 0) return nullptr;
    const IRECT shown = DeviceRect(*areaRect, mGraphicsMac->DisplayScale());
    // The menu goes up from a pane over the area, which the window stand-in takes over as the
    // window the menu is placed through.
    Rect bounds{static_cast<SInt16>(shown.T), static_cast<SInt16>(shown.L),
                static_cast<SInt16>(shown.B), static_cast<SInt16>(shown.R)};
    ControlRef menuPane = nullptr;
    if (CreateUserPaneControl(mWindow, mView, &bounds, 0, &menuPane) != noErr) return nullptr;
    NSWindow* menuWindow = new NSWindow(
        reinterpret_cast<void*>(static_cast<uintptr_t>(GrindvoxCarbon_XWindowOfControl(menuPane))));
    menuWindow->setReleasedWhenClosed(NO);
    IPopupMenu* chosen =
        PopUpIPopupMenu(menuWindow->contentView(), menu, NSMakeRect(0, 0, shown.W(), shown.H()));
    menuWindow->close();
    menuWindow->release();
    DisposeControl(menuPane);
    return chosen;
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
